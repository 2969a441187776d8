#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <rawlet/error.h>
#include <rawlet/outcome.h>
#include <rawlet/platform/printer_status.h>
#include <rawlet/system.h>

namespace rawlet {

// How a job is printed.
struct JobOptions {
    std::string title;      // the job's name in the spooler; empty for none
    bool translate = false; // ANSI to OEM (DOS) code page on the way
    bool utf8 = false;      // the bytes written are UTF-8 text, sent in the ANSI code page
    bool wait = false;      // Finish returns only once the job has printed
    // With `wait`, at most this long (zero: until the job ends); a job still open then is
    // unknown.
    std::chrono::milliseconds waitLimit{0};
    // Called after each write with the bytes sent so far, and, while Finish waits, with each
    // state the spooler reports ("job Receipts-7 processing").
    std::function<void(std::uint64_t bytesSent)> onSent;
    std::function<void(const std::string& jobState)> onJobState;
};

// One job on one printer, named (letter case free) or given by its device URI: written in
// pieces, then finished, which reports whether the printer or spooler took it (and, with
// `wait`, whether it printed), or cancelled, so that nothing prints cut short. Nothing
// reaches the printer, not even a connection, before the first byte; a job that was never
// written makes none.
//
// Every failure is a rawlet::Error with the control's number, its source and description,
// and the one-line reason(), of a kind that says whether the job may still print
// (error.h); docs/errors.md lists the numbers and the outcomes.
//
// A printer is used on one thread, but Cancel may come from any. Printers are independent
// of one another and of the control's per-thread handle: threads print side by side.
class Printer {
public:
    // Throws PrinterNotFound (32000) when there is no such printer, std::invalid_argument for a
    // device URI that names no device, codepage::UnsupportedCodePage for UTF-8 input when
    // the ANSI code page has no tables.
    Printer(System& system, const std::string& nameOrUri, JobOptions options = {});
    // A job neither finished nor cancelled is cancelled.
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Sends every byte (converted and translated as the options say), or throws JobRefused
    // (32036: the job was refused at its start) or WriteFailed (32037: the printer broke
    // off or stalled, WriteTimeout, or the job was cancelled or finished), either of them
    // NotPrinted or OutcomeUnknown. A job that failed is broken off.
    void Write(std::string_view bytes);
    // Ends the job and hands it over: printed (with `wait`, where the spooler or printer can
    // tell) or delivered. Throws NotPrinted or OutcomeUnknown (32034) otherwise, with the
    // reason and, for one that may print, the job. Only the first call does anything; later
    // ones give its result again. A job never written makes none: delivered, 0 bytes.
    JobResult Finish();
    // Breaks the job off before it prints, from any thread, at once. Later writes fail.
    void Cancel() noexcept;

    // The printer's name as the system spells it (the URI, for a device given by it).
    const std::string& name() const noexcept;
    std::uint64_t bytesSent() const noexcept;
    // How the printer is now; nothing when it cannot be asked.
    std::optional<platform::PrinterStatus> Status();

private:
    struct Job;
    std::unique_ptr<Job> job_;
};

} // namespace rawlet
