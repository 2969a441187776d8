#include "progress.h"

#include "printer_text.h"

#include <cstdio>

#include <unistd.h>

namespace rawlet::cli {

namespace {

std::string Size(double bytes)
{
    static const char* const kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    std::size_t unit = 0;
    while (bytes >= 1024 && unit + 1 < std::size(kUnits)) {
        bytes /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", bytes, kUnits[unit]);
    return text;
}

} // namespace

bool Progress::StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

Progress::Progress(std::ostream& terminal, bool enabled) : terminal_(terminal), enabled_(enabled) {}

Progress::~Progress() { Finish(); }

void Progress::Sent(std::uint64_t bytes)
{
    sent_ += bytes;
    if (enabled_)
        Show(SentText(), false);
}

// The total is shown at once: no later chunk would bring it.
void Progress::AllSent()
{
    if (enabled_)
        Show(SentText(), true);
}

std::string Progress::SentText() const
{
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    return "rawlet: " + Size(static_cast<double>(sent_)) + " sent, " +
           Size(seconds > 0 ? static_cast<double>(sent_) / seconds : 0) + "/s";
}

// A state that differs from the last one is shown at once: it may be the final one.
void Progress::JobState(const std::string& line)
{
    if (!enabled_)
        return;
    const bool changed = line != lastJobState_;
    lastJobState_ = line;
    Show("rawlet: " + text::Shown(line), changed);
}

void Progress::Finish()
{
    if (shownWidth_ > 0)
        terminal_ << "\n" << std::flush;
    shownWidth_ = 0;
}

void Progress::Show(const std::string& text, bool force)
{
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietTime || (!force && now - lastShown_ < kRedrawInterval))
        return;
    lastShown_ = now;
    // Blanks wipe what a longer earlier text left on the line.
    const std::size_t width = text.size();
    terminal_ << "\r" << text << std::string(shownWidth_ > width ? shownWidth_ - width : 0, ' ')
              << std::flush;
    shownWidth_ = width;
}

} // namespace rawlet::cli
