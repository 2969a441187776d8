#include "status_sources.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <random>
#include <string>

namespace rawlet::direct {

namespace {

using Word = PrintingConfirmation::Word;

// A printer answers a real-time status query at once; the next is asked this long after the
// answer, or once this long has passed without one.
constexpr auto kStatusInterval = std::chrono::milliseconds(250);
constexpr auto kLongestStatusAnswer = std::chrono::seconds(1);

constexpr std::string_view kOfflineCauseQuery{"\x10\x04\x02", 3}; // DLE EOT 2
// GS ( H pL pH fn m: the 6 bytes from fn on are fn = 48, m = 48 and the four of the ID.
constexpr std::string_view kProcessIdRequest{"\x1d\x28\x48\x06\x00\x30\x30", 7};
constexpr std::size_t kProcessIdSize = 4;
constexpr char kFirstIdByte = 32;
constexpr int kIdByteValues = 126 - 32 + 1;

// Four bytes of 32 to 126: each job of this process has its own, and a start drawn at random
// keeps it apart from another process's on a shared line.
std::string NextProcessId()
{
    static std::atomic<std::uint32_t> next{std::random_device{}()};
    std::uint32_t number = next++;
    std::string id;
    for (std::size_t i = 0; i < kProcessIdSize; ++i, number /= kIdByteValues)
        id.push_back(static_cast<char>(kFirstIdByte + number % kIdByteValues));
    return id;
}

// What the printer sends, read a byte at a time with a few bytes of state: the process ID
// response (37h 22h, four ID bytes, NUL), real-time status answers (one byte, 0xx1xx10),
// automatic status blocks (four bytes, the first 0xx1xx00), other responses of the "header
// to NUL" kind (37h ...), and bytes that are none of these, which are skipped.
class EscPosAnswers {
public:
    enum class Heard { Nothing, Status, ProcessId };

    Heard Feed(std::uint8_t byte)
    {
        switch (in_) {
        case In::Between:
            return Begin(byte);
        case In::ResponseKind:
            in_ = byte == 0x22 ? In::ProcessId : In::UntilNul;
            id_.clear();
            left_ = kLongestResponse;
            return Heard::Nothing;
        case In::ProcessId:
            if (id_.size() < kProcessIdSize) {
                if (byte < 32 || byte > 126)
                    return Resynchronize(byte);
                id_.push_back(static_cast<char>(byte));
                return Heard::Nothing;
            }
            if (byte != 0)
                return Resynchronize(byte);
            in_ = In::Between;
            return Heard::ProcessId;
        case In::UntilNul:
            if (byte == 0 || --left_ == 0)
                in_ = In::Between;
            return Heard::Nothing;
        case In::StatusBlock:
            if (--left_ == 0)
                in_ = In::Between;
            return Heard::Nothing;
        }
        return Heard::Nothing;
    }

    std::uint8_t status() const { return status_; }
    const std::string& processId() const { return id_; }

private:
    enum class In { Between, ResponseKind, ProcessId, UntilNul, StatusBlock };
    static constexpr int kLongestResponse = 80;
    static constexpr std::uint8_t kFixedBitsMask = 0x93;
    static constexpr std::uint8_t kStatusBits = 0x12;      // 0xx1xx10
    static constexpr std::uint8_t kStatusBlockBits = 0x10; // 0xx1xx00

    Heard Begin(std::uint8_t byte)
    {
        if (byte == 0x37) {
            in_ = In::ResponseKind;
        } else if ((byte & kFixedBitsMask) == kStatusBits) {
            status_ = byte;
            return Heard::Status;
        } else if ((byte & kFixedBitsMask) == kStatusBlockBits) {
            in_ = In::StatusBlock;
            left_ = 3;
        }
        return Heard::Nothing;
    }

    // A response broken off: the byte that broke it may start the next.
    Heard Resynchronize(std::uint8_t byte)
    {
        in_ = In::Between;
        return Begin(byte);
    }

    In in_ = In::Between;
    int left_ = 0;
    std::string id_;
    std::uint8_t status_ = 0;
};

// What an answer to DLE EOT 2 tells of a stop, as a person says it; empty for none. Bit 3,
// the feed button held, is a moment's doing of an operator, not a stop.
std::string StopsOf(std::uint8_t offlineCause)
{
    struct Stop {
        int bit;
        const char* what;
    };
    static constexpr Stop kStops[] = {{2, "cover open"}, {5, "paper end"}, {6, "printer error"}};
    std::string stops;
    for (const Stop& stop : kStops)
        if ((offlineCause >> stop.bit) & 1)
            stops += (stops.empty() ? "" : ", ") + std::string(stop.what);
    return stops;
}

} // namespace

PrintingConfirmation ConfirmEscPos(Channel& channel, Clock::time_point deadline, Clock::duration silence)
{
    const std::string id = NextProcessId();
    ConfirmationClock clock(deadline, silence);
    channel.DiscardUnread();
    if (!channel.Send(std::string(kProcessIdRequest) + id, clock.wakeAt()))
        return clock.Ended(channel);
    EscPosAnswers answers;
    auto nextQuery = Clock::now() + kStatusInterval;
    for (;;) {
        if (const auto over = clock.Over())
            return *over;
        if (Clock::now() >= nextQuery) {
            if (!channel.Send(kOfflineCauseQuery, clock.wakeAt()))
                return clock.Ended(channel);
            nextQuery = Clock::now() + kLongestStatusAnswer;
        }
        const auto wake = std::min(nextQuery, clock.wakeAt());
        std::string received;
        if (!channel.ReceiveMore(received, wake)) {
            if (channel.interrupted() || Clock::now() < wake)
                return clock.Ended(channel);
            continue;
        }
        clock.Heard();
        for (const char byte : received) {
            const auto heard = answers.Feed(static_cast<std::uint8_t>(byte));
            if (heard == EscPosAnswers::Heard::ProcessId && answers.processId() == id)
                return {Word::Printed, {}};
            if (heard != EscPosAnswers::Heard::Status)
                continue;
            if (std::string stops = StopsOf(answers.status()); !stops.empty())
                return {Word::Stopped, std::move(stops)};
            nextQuery = Clock::now() + kStatusInterval;
        }
    }
}

} // namespace rawlet::direct
