#include "status_sources.h"

#include <charconv>
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
// Far more than any answer (some 90 bytes): what goes past it is no answer.
constexpr std::size_t kLongestAnswer = 1024;

constexpr int kPaperOut = 2;       // string 1
constexpr int kPaused = 3;         // string 1
constexpr int kFormatsWaiting = 5; // string 1
constexpr int kPartialFormat = 8;  // string 1
constexpr int kHeadUp = 3;         // string 2
constexpr int kRibbonOut = 4;      // string 2
constexpr int kLabelsLeft = 9;     // string 2

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

// A field of digits, 1 to n, no larger than `largest`; nothing when the field is missing or
// is not such a number.
std::optional<long> Number(const Fields& fields, int number, long largest)
{
    if (number > static_cast<int>(fields.size()))
        return std::nullopt;
    const std::string_view field = fields[static_cast<std::size_t>(number - 1)];
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() || value < 0 ||
        value > largest)
        return std::nullopt;
    return value;
}

struct FlagReason {
    int string;
    int field;
    const char* reason;
    const char* stop; // as a person says it
};
// Paused is IPP's own reason, without a suffix: the printer prints nothing until resumed.
constexpr FlagReason kFlagReasons[] = {
    {1, kPaperOut, "media-empty-error", "paper out"},
    {1, kPaused, "paused", "paused"},
    {2, kHeadUp, "door-open-error", "head open"},
    {2, kRibbonOut, "marker-supply-empty-error", "ribbon out"},
};

std::optional<ZplHostStatus> Read(const std::vector<Fields>& frames)
{
    ZplHostStatus status;
    for (const FlagReason& flag : kFlagReasons) {
        const std::optional<long> set =
            Number(frames[static_cast<std::size_t>(flag.string - 1)], flag.field, 1);
        if (!set)
            return std::nullopt;
        if (*set) {
            status.facts.reasons.emplace_back(flag.reason);
            status.stoppedBy.emplace_back(flag.stop);
        }
    }
    status.facts.state = status.facts.reasons.empty() ? platform::PrinterStatus::State::Idle
                                                      : platform::PrinterStatus::State::Stopped;
    const auto formats = Number(frames[0], kFormatsWaiting, 999);
    const auto partial = Number(frames[0], kPartialFormat, 1);
    const auto labels = Number(frames[1], kLabelsLeft, 99999999);
    if (!formats || !partial || !labels)
        return std::nullopt;
    status.formatsWaiting = *formats;
    status.partialFormat = *partial == 1;
    status.labelsLeft = *labels;
    return status;
}

} // namespace

std::optional<ZplHostStatus> AskZplHostStatus(Channel& channel, Clock::time_point deadline)
{
    channel.DiscardUnread();
    if (!channel.Send("~HS", deadline))
        return std::nullopt;
    std::string answer;
    std::vector<Fields> frames;
    while (channel.ReceiveMore(answer, deadline) && answer.size() <= kLongestAnswer) {
        const Parsed parsed = Frames(answer, frames);
        if (parsed == Parsed::Whole)
            return Read(frames);
        if (parsed == Parsed::Bad)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<StatusFacts> AskZpl(Channel& channel, Clock::time_point deadline)
{
    const std::optional<ZplHostStatus> status = AskZplHostStatus(channel, deadline);
    return status ? std::optional(status->facts) : std::nullopt;
}

} // namespace rawlet::direct
