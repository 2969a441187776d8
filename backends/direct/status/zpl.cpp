#include "status_sources.h"

#include <string>
#include <string_view>
#include <vector>

namespace rawlet::direct {

namespace {

// The answer to ~HS is three strings, each framed STX ... ETX CR LF, of comma-separated
// fields (numbered from 1):
//   1: aaa,b,c,dddd,eee,f,g,h,iii,j,k,l
//      aaa communication settings, b paper out, c paused, dddd label length in dots,
//      eee formats in the receive buffer, f buffer full, g communications diagnostics mode,
//      h partial format, iii unused, j corrupt RAM, k under temperature, l over temperature
//   2: mmm,n,o,p,q,r,s,t,uuuuuuuu,v,www
//      mmm function settings, n unused, o head up (open), p ribbon out, q thermal transfer
//      mode, r print mode, s print width mode, t label waiting, uuuuuuuu labels remaining in
//      the batch, v format while printing, www graphic images stored
//   3: xxxx,y
//      xxxx password, y static RAM installed
// Each flag is "1" when set and "0" when not.
constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';
constexpr std::string_view kEndOfString = "\x03\r\n";
constexpr std::size_t kStrings = 3;

constexpr int kPaperOut = 2;  // string 1
constexpr int kPaused = 3;    // string 1
constexpr int kHeadUp = 3;    // string 2
constexpr int kRibbonOut = 4; // string 2

using Fields = std::vector<std::string_view>;

Fields Split(std::string_view text)
{
    Fields fields;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1))
        fields.push_back(text.substr(0, comma));
    fields.push_back(text);
    return fields;
}

enum class Parsed { Whole, Partial, Bad };

// Whether the end of an answer could still become a framed string as more bytes come.
bool CouldBeStartOfFrame(std::string_view rest)
{
    if (rest.front() != kStx)
        return false;
    const std::size_t etx = rest.find(kEtx, 1);
    if (etx == std::string_view::npos)
        return rest.find(kStx, 1) == std::string_view::npos;
    return kEndOfString.substr(0, rest.size() - etx) == rest.substr(etx);
}

// Splits an answer into its framed strings: Whole once all of them came, Partial while the
// rest may still come, Bad when it has bytes outside the frames or more strings than it should.
Parsed Frames(std::string_view answer, std::vector<Fields>& frames)
{
    frames.clear();
    while (!answer.empty()) {
        const std::size_t end = answer.find(kEndOfString);
        if (end == std::string_view::npos)
            return CouldBeStartOfFrame(answer) ? Parsed::Partial : Parsed::Bad;
        const std::string_view content = answer.substr(0, end);
        if (content.empty() || content.front() != kStx || content.find(kStx, 1) != std::string_view::npos ||
            content.find(kEtx) != std::string_view::npos)
            return Parsed::Bad;
        frames.push_back(Split(content.substr(1)));
        answer.remove_prefix(end + kEndOfString.size());
    }
    if (frames.size() > kStrings)
        return Parsed::Bad;
    return frames.size() == kStrings ? Parsed::Whole : Parsed::Partial;
}

// A flag field, 1 to n; nothing when the field is missing or is not a flag.
std::optional<bool> Flag(const Fields& fields, int number)
{
    if (number > static_cast<int>(fields.size()))
        return std::nullopt;
    const std::string_view field = fields[static_cast<std::size_t>(number - 1)];
    if (field != "0" && field != "1")
        return std::nullopt;
    return field == "1";
}

struct FlagReason {
    int string;
    int field;
    const char* reason;
};
// Paused is IPP's own reason, without a suffix: the printer prints nothing until resumed.
constexpr FlagReason kFlagReasons[] = {
    {1, kPaperOut, "media-empty-error"},
    {1, kPaused, "paused"},
    {2, kHeadUp, "door-open-error"},
    {2, kRibbonOut, "marker-supply-empty-error"},
};

std::optional<StatusFacts> Read(const std::vector<Fields>& frames)
{
    StatusFacts facts;
    for (const FlagReason& flag : kFlagReasons) {
        const std::optional<bool> set = Flag(frames[static_cast<std::size_t>(flag.string - 1)], flag.field);
        if (!set)
            return std::nullopt;
        if (*set)
            facts.reasons.emplace_back(flag.reason);
    }
    facts.state = facts.reasons.empty() ? platform::PrinterStatus::State::Idle
                                        : platform::PrinterStatus::State::Stopped;
    return facts;
}

} // namespace

std::optional<StatusFacts> AskZpl(int fd, Clock::time_point deadline, const Interrupter* interrupter)
{
    DiscardUnread(fd);
    if (!SendQuery(fd, "~HS", deadline, interrupter))
        return std::nullopt;
    std::string answer;
    std::vector<Fields> frames;
    while (ReceiveMore(fd, answer, deadline, interrupter)) {
        const Parsed parsed = Frames(answer, frames);
        if (parsed == Parsed::Whole)
            return Read(frames);
        if (parsed == Parsed::Bad)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace rawlet::direct
