#include "request_policy.h"

#include <algorithm>
#include <cctype>

#include "request_target.h"

namespace rawlet::bridge {

namespace {

constexpr std::string_view kPrinters = "/v1/printers";
constexpr std::size_t kLongestTitle = 255;

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

bool Refuse(Decision& decision, int status, std::string reason)
{
    decision.refusal = status;
    decision.reason = std::move(reason);
    return false;
}

bool HasControlCharacter(std::string_view text)
{
    return std::ranges::any_of(text, [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// "application/octet-stream", perhaps with parameters, in any letter case.
bool IsOctetStream(std::optional<std::string_view> contentType)
{
    if (!contentType)
        return false;
    std::string type = Lowered(contentType->substr(0, contentType->find(';')));
    std::erase_if(type, [](char c) { return c == ' ' || c == '\t'; });
    return type == "application/octet-stream";
}

bool Flag(const std::string& name, const std::string& value, bool& flag, Decision& decision)
{
    if (value.empty() || value == "1" || value == "true")
        flag = true;
    else if (value == "0" || value == "false")
        flag = false;
    else
        return Refuse(decision, 400, "'" + name + "' takes 1, true, 0 or false, not '" + value + "'");
    return true;
}

bool ReadJobQuery(const std::map<std::string, std::string>& query, Decision& decision)
{
    for (const auto& [name, value] : query) {
        if (name == "title") {
            if (value.size() > kLongestTitle || HasControlCharacter(value))
                return Refuse(decision, 400, "the title has control characters or is over 255 bytes");
            decision.job.title = value;
        } else if (name == "utf8" || name == "translate" || name == "wait") {
            bool& flag = name == "utf8" ? decision.job.utf8
                                        : (name == "translate" ? decision.job.translate : decision.job.wait);
            if (!Flag(name, value, flag, decision))
                return false;
        } else {
            return Refuse(decision, 400, "unknown parameter '" + name + "'");
        }
    }
    return true;
}

bool IsPrinterPath(std::string_view path, std::string_view suffix)
{
    return path.size() > kPrinters.size() + 1 + suffix.size() && path.starts_with(kPrinters) &&
           path[kPrinters.size()] == '/' && path.ends_with(suffix);
}

bool Expect(const RequestHead& head, std::string_view method, Decision& decision)
{
    if (head.method == method)
        return true;
    return Refuse(decision, 405,
                  std::string(head.target.substr(0, head.target.find('?'))) + " takes " +
                      std::string(method) + ", not " + std::string(head.method));
}

} // namespace

// The printer named between "/v1/printers/" and `suffix`: never a device URI or a path,
// which would make the bridge a proxy to whatever host and port a page chose.
bool RequestPolicy::ReadPrinter(std::string_view path, std::string_view suffix, Decision& decision) const
{
    const std::string_view escaped =
        path.substr(kPrinters.size() + 1, path.size() - kPrinters.size() - 1 - suffix.size());
    const std::optional<std::string> name = Unescaped(escaped);
    if (!name || name->empty() || HasControlCharacter(*name))
        return Refuse(decision, 400, "the printer's name is empty or badly escaped");
    if (name->find_first_of(":/\\") != std::string::npos)
        return Refuse(decision, 403, "'" + *name + "' is a device or a path, not a printer's name");
    if (!decision.entry->MayUse(*name, codePage_))
        return Refuse(decision, 403,
                      "the printer '" + *name + "' is not allowed for " + decision.entry->origin);
    decision.printer = *name;
    return true;
}

bool RequestPolicy::HostIsOurs(std::string_view host) const
{
    const std::string port = ":" + std::to_string(port_);
    const std::string name = Lowered(host);
    return name == "localhost" + port || name == "127.0.0.1" + port || name == "[::1]" + port;
}

void RequestPolicy::Choose(const RequestHead& head, Decision& decision) const
{
    const std::optional<RequestTarget> target = ParseTarget(head.target);
    if (!target) {
        Refuse(decision, 400, "the request's target is badly formed");
        return;
    }
    const std::string& path = target->path;
    if (head.method == "OPTIONS") {
        decision.route = Route::preflight;
        decision.allowPrivateNetwork = head.asksPrivateNetwork;
        if (!head.preflightMethod || (*head.preflightMethod != "GET" && *head.preflightMethod != "POST"))
            Refuse(decision, 405, "a preflight for GET or POST is answered, and no other");
    } else if (path == kPrinters) {
        decision.route = Route::printers;
        Expect(head, "GET", decision);
    } else if (IsPrinterPath(path, "/status")) {
        decision.route = Route::status;
        if (Expect(head, "GET", decision))
            ReadPrinter(path, "/status", decision);
    } else if (IsPrinterPath(path, "/jobs")) {
        decision.route = Route::job;
        if (Expect(head, "POST", decision) && ReadPrinter(path, "/jobs", decision) &&
            ReadJobQuery(target->query, decision) && !IsOctetStream(head.contentType))
            Refuse(decision, 400,
                   "a job's bytes come as application/octet-stream, not " +
                       std::string(head.contentType.value_or("a body of no type")));
    } else if (path.starts_with(kPrinters) && path.find(':') != std::string::npos) {
        Refuse(decision, 403, "the path names a device, not a printer");
    } else {
        Refuse(decision, 404, "there is nothing at " + path);
    }
}

Decision RequestPolicy::Decide(const RequestHead& head) const
{
    Decision decision;
    if (!head.host || !HostIsOurs(*head.host)) {
        Refuse(decision, 403,
               "the Host '" + std::string(head.host.value_or("")) +
                   "' is not this bridge's loopback address and port (a rebound name?)");
    } else if (!head.origin) {
        Refuse(decision, 403, "no Origin: only pages of allowed origins may use the bridge");
    } else if (!(decision.entry = allowed_.Find(*head.origin))) {
        Refuse(decision, 403, "the origin '" + std::string(*head.origin) + "' is not allowed");
    } else {
        Choose(head, decision);
    }
    return decision;
}

} // namespace rawlet::bridge
