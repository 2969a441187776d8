#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include <rawlet/platform/spooler.h>

#include "handle_table.h"
#include "unique_printer.h"
#include "win32_job_follow.h"
#include "winspool_calls.h"

namespace rawlet::win32 {

// The Windows print spooler through winspool's ANSI entry points.
//
// The control's handles are numbers of our own, mapped to the live winspool handles: a call
// on zero, an unknown number or a closed one fails before it can reach winspool, where a
// stale handle value might by then belong to another printer. One instance serves every
// thread of the process.
//
// A document that arrives without a data type is started under the one that passes its
// bytes through the printer's driver untouched (RawDataTypeOf), and again without one if the
// spooler refuses that name.
class Win32Spooler final : public platform::Spooler, public platform::SpoolerReports {
public:
    // `calls` replaces winspool's answers that a test bed cannot give.
    explicit Win32Spooler(WinspoolCalls calls = {});
    ~Win32Spooler() override;

    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    // The spooler is part of the system: it always answers.
    std::optional<std::string> Unreachable() override { return std::nullopt; }
    // Deletes every document in progress (AbortPrinter), and ends the waits for jobs at once,
    // deleting the jobs they waited for. A document being ended is left to its end, and its
    // wait then ends at once.
    void AbandonDocuments() override;
    // The document abandoned last: not printed, or unknown when its port had begun it, as a
    // spooler that prints while the document is still written may have.
    std::optional<platform::DocumentOutcome> LastFailure() override;
    bool CanFollowJobs() const override { return true; }
    void SetPrintingWait(platform::PrintingWait wait) override;
    std::vector<platform::DocumentOutcome> JobOutcomes() override;
    void WatchJobStates(std::function<void(const std::string& line)> onState) override;
    bool CanTellStatus() const override { return true; }
    std::optional<platform::PrinterStatus> StatusOf(const std::string& printerName) override;

    // Handles open now; for tests and leak checks.
    std::size_t LiveHandles() const;

private:
    // A document's course. One being ended is left to the thread ending it: winspool's calls
    // on one handle from two threads at once are not safe, and an abort crossing the end
    // would leave a job ended, unrecorded and unfollowed.
    enum class Document { none, inProgress, ending, abandonedWhileEnding };
    struct Printer {
        std::string name;
        UniquePrinter handle;
        // Whether a document was started and not yet ended, so closing can end it first.
        std::atomic<Document> document = Document::none;
        std::atomic<DWORD> job = 0; // the document's job, once started
    };

    // A document ended, and what became of its job once known.
    struct EndedDocument {
        QueueJob job;
        bool accepted = false;
        bool abandoned = false; // by AbandonDocuments, before its outcome was known
        std::optional<platform::DocumentOutcome> outcome{};
    };

    DWORD StartDocument(Printer& printer, const DocInfo& docInfo);
    bool EndDocument(Printer& printer);
    void Record(const Printer& printer, bool accepted);
    platform::DocumentOutcome Abandoned(const Printer& printer) const;
    platform::DocumentOutcome Follow(const EndedDocument& document,
                                     std::optional<Clock::time_point> deadline);
    EndedDocument* RecordOf(const QueueJob& job);

    const WinspoolCalls calls_;
    backends::HandleTable<Printer> printers_;

    mutable std::mutex endedMutex_;
    std::deque<EndedDocument> ended_; // the most recent documents ended
    platform::PrintingWait printingWait_;
    std::function<void(const std::string&)> onJobState_;
    std::vector<HANDLE> following_; // the events that end the waits in progress
    std::optional<platform::DocumentOutcome> lastFailure_;
};

} // namespace rawlet::win32
