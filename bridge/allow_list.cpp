#include "allow_list.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace rawlet::bridge {

namespace {

bool HostCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '[' || c == ']' ||
           c == ':';
}

// An origin as a browser serialises it: a lower-case http or https scheme, a host, perhaps a
// port, and nothing after; a path, a user or a trailing slash would never match a request.
void CheckOrigin(std::string_view origin)
{
    std::string_view rest;
    if (origin.starts_with("https://"))
        rest = origin.substr(8);
    else if (origin.starts_with("http://"))
        rest = origin.substr(7);
    else
        throw BadAllowEntry("'" + std::string(origin) +
                            "' is not an origin (http:// or https://HOST[:PORT])");
    if (rest.empty() || !std::ranges::all_of(rest, HostCharacter))
        throw BadAllowEntry("'" + std::string(origin) +
                            "' is not an origin: a host and perhaps a port, with no path, after the scheme");
    if (std::ranges::any_of(rest, [](char c) { return std::isupper(static_cast<unsigned char>(c)); }))
        throw BadAllowEntry("'" + std::string(origin) + "' is not an origin as browsers send it: lower case");
}

std::vector<std::string> PrinterNames(std::string_view list, std::string_view origin)
{
    std::vector<std::string> printers;
    std::stringstream names{std::string(list)};
    for (std::string name; std::getline(names, name, ',');) {
        if (name.empty() || name.find_first_of(":/") != std::string::npos)
            throw BadAllowEntry("'" + name + "' in the printers of " + std::string(origin) +
                                " is not a printer's name");
        printers.push_back(name);
    }
    if (printers.empty())
        throw BadAllowEntry("no printers after '" + std::string(origin) + "='");
    return printers;
}

std::vector<std::string> DefaultFiles()
{
    std::vector<std::string> files;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        files.push_back(std::string(config) + "/rawlet/bridge.conf");
    else if (const char* home = std::getenv("HOME"); home && *home)
        files.push_back(std::string(home) + "/.config/rawlet/bridge.conf");
    files.emplace_back("/etc/rawlet/bridge.conf");
    return files;
}

} // namespace

bool AllowEntry::MayUse(std::string_view printer, const platform::CodePage& codePage) const
{
    const std::string wanted = codePage.CharUpperBuffA(printer);
    return printers.empty() || std::ranges::any_of(printers, [&](const std::string& name) {
               return codePage.CharUpperBuffA(name) == wanted;
           });
}

AllowEntry ParseAllowEntry(std::string_view text)
{
    const std::size_t equals = text.find('=');
    AllowEntry entry{std::string(text.substr(0, equals)), {}};
    CheckOrigin(entry.origin);
    if (equals != std::string_view::npos)
        entry.printers = PrinterNames(text.substr(equals + 1), entry.origin);
    return entry;
}

void AllowList::Add(AllowEntry entry)
{
    const auto same = std::ranges::find(entries_, entry.origin, &AllowEntry::origin);
    if (same == entries_.end()) {
        entries_.push_back(std::move(entry));
    } else if (same->printers.empty() || entry.printers.empty()) {
        same->printers.clear(); // one entry of the origin allows every printer
    } else {
        same->printers.insert(same->printers.end(), entry.printers.begin(), entry.printers.end());
    }
}

const AllowEntry* AllowList::Find(std::string_view origin) const
{
    const auto entry = std::ranges::find(entries_, origin, &AllowEntry::origin);
    return entry == entries_.end() ? nullptr : &*entry;
}

void ReadAllowConf(std::istream& lines, const std::string& fileName, AllowList& list,
                   std::vector<std::string>& problems)
{
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream fields(line);
        std::string keyword, value, extra;
        if (!(fields >> keyword) || keyword.starts_with('#'))
            continue;
        const std::string where = fileName + ":" + std::to_string(number) + ": ";
        if (keyword != "allow") {
            problems.push_back(where + "unknown setting '" + keyword + "' (allow ORIGIN[=PRINTER,...])");
        } else if (!(fields >> value)) {
            problems.push_back(where + "no origin after 'allow'");
        } else if (fields >> extra) {
            problems.push_back(where + "unexpected text after the origin: '" + extra + "'");
        } else {
            try {
                list.Add(ParseAllowEntry(value));
            } catch (const BadAllowEntry& problem) {
                problems.push_back(where + problem.what());
            }
        }
    }
}

void LoadAllowConf(AllowList& list, std::vector<std::string>& problems)
{
    if (const char* named = std::getenv("RAWLET_BRIDGE_CONF"); named && *named) {
        std::ifstream file(named);
        if (!file)
            problems.push_back(std::string(named) + ": " + std::strerror(errno));
        ReadAllowConf(file, named, list, problems);
        return;
    }
    for (const std::string& name : DefaultFiles()) {
        std::ifstream file(name);
        if (file)
            ReadAllowConf(file, name, list, problems);
    }
}

} // namespace rawlet::bridge
