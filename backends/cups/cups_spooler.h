#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <rawlet/platform/spooler.h>

#include "handle_table.h"
#include "queue_document.h"

namespace rawlet::cups {

// A job this spooler created, for callers that follow it to the end.
struct CreatedJob {
    std::string printer;
    int id;
    bool ended = false;    // its document was finished (or abandoned)
    bool accepted = false; // the scheduler accepted the finished document
    std::string failure;   // why not, when it did not
    bool mayPrint = false; // not accepted, but the scheduler may have made a job that prints
    // Made when the document started, for a wait for the job to print; none without one.
    ipp::Subscription subscription;
    bool abandoned = false; // by AbandonDocuments, before it was known how the job ended
    // How the job ended, once a wait has followed it to its end.
    std::optional<platform::DocumentOutcome> outcome{};
};

// "Receipts-7": the job as the scheduler names it.
std::string JobName(const CreatedJob& job);

class JobWatch;

// The spooler over CUPS, talking to the scheduler the environment names (CUPS_SERVER,
// client.conf, or the local default). A printer handle holds its own connection; a document
// is one Print-Job request with one raw document, streamed as it is written, so memory does
// not grow with the job. The scheduler makes the job only once it has the whole document,
// so a document cut short never prints and leaves nothing behind.
//
// One instance may serve several threads at once, each on its own handles.
class CupsSpooler : public platform::Spooler, public platform::SpoolerReports {
public:
    CupsSpooler();
    ~CupsSpooler() override;

    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    std::optional<std::string> Unreachable() override;
    std::optional<platform::DocumentOutcome> LastFailure() override;
    void AbandonDocuments() override;
    bool CanFollowJobs() const override { return true; }
    void SetPrintingWait(platform::PrintingWait wait) override;
    std::vector<platform::DocumentOutcome> JobOutcomes() override;
    void WatchJobStates(std::function<void(const std::string& line)> onState) override;
    bool CanTellStatus() const override { return true; }
    std::optional<platform::PrinterStatus> StatusOf(const std::string& printerName) override;

    // The documents ended so far, with the jobs made of them, oldest first: the most recent
    // kRecordedJobs of them, so a long-running program's record does not grow without end.
    static constexpr std::size_t kRecordedJobs = 4096;
    std::vector<CreatedJob> CreatedJobs() const;

private:
    using Printer = QueueDocument;

    // Notes how the printer's document ended; returns whether the scheduler accepted it.
    bool Record(const std::string& printer, const EndedDocument& ended);
    void NoteFailure(const std::string& printer, const std::string& failure, bool mayPrint = false);
    std::function<void(const std::string&)> StateListener() const;
    platform::PrintingWait PrintingWaitSet() const;
    platform::DocumentOutcome Follow(const CreatedJob& job, std::optional<ipp::Clock::time_point> deadline);
    CreatedJob* RecordOf(const CreatedJob& job);

    backends::HandleTable<Printer> printers_;
    mutable std::mutex jobsMutex_;
    std::deque<CreatedJob> createdJobs_;
    std::optional<platform::DocumentOutcome> lastFailure_;
    std::atomic<std::uint32_t> documents_ = 0;
    std::function<void(const std::string&)> jobStateListener_;
    platform::PrintingWait printingWait_;
    std::vector<JobWatch*> following_; // the waits in progress, which AbandonDocuments ends
};

} // namespace rawlet::cups
