#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/outcome.h>
#include <rawlet/platform/doc_info.h>
#include <rawlet/platform/printer_status.h>

namespace rawlet::platform {

// An opaque printer handle. Zero means "no printer". A backend never hands out the same
// non-zero value twice in one process, so a stale copy of a closed handle can never reach
// a printer opened later.
using PrinterHandle = std::uintptr_t;

// The print spooler, in the shape of the Windows spooler's ANSI entry points.
//
// Rules every backend keeps, and the control relies on:
// - No operation throws and none raises an error of the control; each reports failure by
//   its result.
// - A call on a zero, unknown or closed handle fails and has no effect.
// - Text is ANSI bytes, passed through unchanged: every byte value 0x00..0xFF is data.
class Spooler {
public:
    virtual ~Spooler() = default;

    // Opens the printer whose device name is `printerName`. On success returns true and
    // stores a new, non-zero handle in `handle`; on failure returns false and leaves
    // `handle` untouched.
    virtual bool OpenPrinterA(std::string_view printerName, PrinterHandle& handle) = 0;

    // Starts a raw document described by `docInfo`. Returns a non-zero number for the
    // document (the spooler's job identifier, where it knows one before the document is
    // whole), or zero on failure (an unusable handle, a printer that refuses the document, or
    // a document already in progress on this handle: the document in progress is left as it
    // is).
    virtual std::uint32_t StartDocPrinterA(PrinterHandle handle, const DocInfo& docInfo) = 0;

    // Starts a page of the document in progress. False when there is none.
    virtual bool StartPagePrinter(PrinterHandle handle) = 0;

    // Hands `bytes` to the document in progress. On success returns true and sets `written`
    // to the number of bytes accepted, which may be fewer than offered: the caller offers
    // the rest again. On failure returns false; `written` then tells how many bytes were
    // accepted before the failure (usually zero). Fails when no document is in progress.
    virtual bool WritePrinter(PrinterHandle handle, std::string_view bytes, std::uint32_t& written) = 0;

    // Ends the page in progress. False when there is no document in progress.
    virtual bool EndPagePrinter(PrinterHandle handle) = 0;

    // Ends the document in progress and hands it over for printing. True only when the
    // spooler accepted the document; false when there is none or it was refused.
    virtual bool EndDocPrinter(PrinterHandle handle) = 0;

    // Releases the handle. A document still in progress is ended first, so its bytes are
    // delivered rather than lost. Afterwards every call on `handle` fails.
    virtual bool ClosePrinter(PrinterHandle handle) = 0;
};

// What became of a document, or of the job made of it.
struct DocumentOutcome {
    Outcome outcome = Outcome::delivered;
    // The job as the spooler names it ("Receipts-7"), or the printer's name for a printer
    // that keeps no jobs; empty when there was none.
    std::string job;
    // For a document not printed, or whose outcome is unknown: one line naming the printer
    // and what happened, such as "Receipts: printer stopped: out of paper; job Receipts-7 was
    // cancelled and will not print", or "Kitchen (socket://10.0.0.5:9100): the printer had
    // acknowledged 16,384 of 65,536 bytes and may print them".
    std::string reason;
    // The printer stopped taking bytes within its deadline.
    bool timedOut = false;
};

// Whether JobOutcomes waits for the jobs to print, and at most how long (zero: until they
// end). A job still open when the limit passes is unknown.
struct PrintingWait {
    bool wait = false;
    std::chrono::milliseconds limit{0};
};

// An optional part of the contract, for programs that need more than the control does: a
// command that must tell "no such printer" from "no print system", report the documents
// that did not print, and never let a job it could not finish print cut short. A backend
// that offers it points `Platform::reports` at it.
//
// Like the spooler, no operation throws.
class SpoolerReports {
public:
    virtual ~SpoolerReports() = default;

    // Nothing when the spooler answers; otherwise one line naming the spooler tried and
    // why it cannot be reached, such as
    // "no print scheduler answers at /run/cups/cups.sock (No such file or directory)".
    virtual std::optional<std::string> Unreachable() = 0;

    // Why the last printer that failed to open, take or deliver a document did so, and what
    // became of that document (not printed, or unknown when the printer had taken some of
    // it); nothing when none failed or the spooler keeps no such reason.
    virtual std::optional<DocumentOutcome> LastFailure() { return std::nullopt; }

    // Cancels every document in progress, before the spooler can print it. Their handles
    // stay open; later writes on them fail. May be called from another thread while the
    // documents are being written, as a program does when it is interrupted.
    virtual void AbandonDocuments() = 0;

    // Whether JobOutcomes can wait for jobs to print.
    virtual bool CanFollowJobs() const = 0;

    // Whether JobOutcomes waits for the documents started from now on to print. Told before a
    // document starts, so that a printer that can confirm its printing is asked to. The
    // default waits for nothing.
    virtual void SetPrintingWait(PrintingWait wait) { (void)wait; }

    // The outcome of each document ended so far, oldest first. With a printing wait, returns
    // only once every job has printed, failed or outlived the wait's limit, or the documents
    // were abandoned.
    virtual std::vector<DocumentOutcome> JobOutcomes() = 0;

    // Called with one line, such as "job Receipts-7 processing", each time JobOutcomes looks
    // at a job it waits for; for a program that shows the wait. The default reports nothing.
    virtual void WatchJobStates(std::function<void(const std::string& line)> onState) { (void)onState; }

    // Whether StatusOf can ask printers how they are.
    virtual bool CanTellStatus() const { return false; }

    // How the printer named `printerName` (letter case free) is now; nothing when there is
    // no such printer or it cannot be asked.
    virtual std::optional<PrinterStatus> StatusOf(const std::string& printerName)
    {
        (void)printerName;
        return std::nullopt;
    }
};

} // namespace rawlet::platform
