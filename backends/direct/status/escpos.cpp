#include "status_sources.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace rawlet::direct {

namespace {

// A printer answers each query with one byte at once; one that takes longer than this is
// not going to answer, and the other queries keep their share of the deadline.
constexpr auto kLongestAnswer = std::chrono::seconds(1);

// Every answer to DLE EOT has bit 1 and bit 4 set and bits 0 and 7 clear; a byte that does
// not is something else (chatter, an automatic status block, another language's answer).
constexpr std::uint8_t kFixedBitsMask = 0x93;
constexpr std::uint8_t kFixedBitsValue = 0x12;

enum class Query : char { Printer = 1, Offline = 2, RollPaper = 4 };
constexpr std::array kQueries{Query::Printer, Query::Offline, Query::RollPaper};

constexpr bool Bit(std::uint8_t answer, int bit) { return (answer >> bit) & 1; }

void AddReason(StatusFacts& facts, const std::string& reason)
{
    if (std::find(facts.reasons.begin(), facts.reasons.end(), reason) == facts.reasons.end())
        facts.reasons.push_back(reason);
}

// What one answer tells. The printer goes offline while its cover is open, its paper has run
// out or its feed button is held, so "offline" often comes with the reason for it. The feed
// button (DLE EOT 2, bit 3) is not reported: it is a moment's state that an operator causes.
void Read(Query query, std::uint8_t answer, StatusFacts& facts)
{
    switch (query) {
    case Query::Printer:
        if (Bit(answer, 3))
            AddReason(facts, "offline-report");
        break;
    case Query::Offline:
        if (Bit(answer, 2))
            AddReason(facts, "door-open-error");
        if (Bit(answer, 5))
            AddReason(facts, "media-empty-error");
        if (Bit(answer, 6))
            AddReason(facts, "other-error");
        break;
    case Query::RollPaper:
        // Each sensor is reported in two bits that say the same; either one set is taken.
        if (Bit(answer, 2) || Bit(answer, 3))
            AddReason(facts, "media-low-report");
        if (Bit(answer, 5) || Bit(answer, 6))
            AddReason(facts, "media-empty-error");
        break;
    }
}

enum class Outcome { Fits, DoesNotFit, Silent };

// One query and its one-byte answer, by the earlier of `deadline` and the query's share.
Outcome Ask(Channel& channel, Query query, Clock::time_point deadline, std::uint8_t& answer)
{
    const auto until = std::min(deadline, Clock::now() + kLongestAnswer);
    channel.DiscardUnread();
    const char request[] = {0x10, 0x04, static_cast<char>(query)};
    std::string received;
    if (!channel.Send({request, sizeof request}, until) || !channel.ReceiveMore(received, until))
        return Outcome::Silent;
    answer = static_cast<std::uint8_t>(received.front());
    return (answer & kFixedBitsMask) == kFixedBitsValue ? Outcome::Fits : Outcome::DoesNotFit;
}

// A printer stopped by what it reports is Stopped, as IPP's state is, offline included:
// nothing prints until it is back. It is Idle only when every answer came and none tells of
// a problem; a missing answer could have told of one.
void SetState(StatusFacts& facts, bool everyAnswerFits)
{
    if (!facts.reasons.empty())
        facts.state = platform::PrinterStatus::State::Stopped;
    else if (everyAnswerFits)
        facts.state = platform::PrinterStatus::State::Idle;
}

} // namespace

std::optional<StatusFacts> AskEscPos(Channel& channel, Clock::time_point deadline)
{
    StatusFacts facts;
    int fitting = 0;
    for (const Query query : kQueries) {
        std::uint8_t answer = 0;
        const Outcome outcome = Ask(channel, query, deadline, answer);
        // A printer silent to one query will be silent to the next: the deadline is not
        // spent waiting for it again.
        if (outcome == Outcome::Silent)
            break;
        if (outcome == Outcome::Fits) {
            Read(query, answer, facts);
            ++fitting;
        }
    }
    if (fitting == 0)
        return std::nullopt;
    SetState(facts, fitting == static_cast<int>(kQueries.size()));
    return facts;
}

} // namespace rawlet::direct
