#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace rawlet::cli {

// One line on a terminal, rewritten in place, that shows how long work goes: the bytes sent
// and the rate, then what the job is doing. It appears only once the work has taken about a
// second, so quick jobs print nothing; a disabled one never shows anything.
class Progress {
public:
    Progress(std::ostream& terminal, bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    static bool StandardErrorIsTerminal();

    void Sent(std::uint64_t bytes);
    void AllSent();
    void JobState(const std::string& line);
    // Ends the line, so what follows starts on one of its own.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kQuietTime = std::chrono::seconds(1);
    static constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

    std::string SentText() const;
    void Show(const std::string& text, bool force);

    std::ostream& terminal_;
    bool enabled_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_{};
    std::uint64_t sent_ = 0;
    std::string lastJobState_;
    std::size_t shownWidth_ = 0;
};

} // namespace rawlet::cli
