#pragma once

#include <atomic>

#include <rawlet/platform/spooler.h>

#include "cups_spooler.h"
#include "direct_printers.h"
#include "handle_table.h"

namespace rawlet::posix {

// The scheduler's queues and the direct printers behind one spooler: each open goes to the
// direct printers when one has the name, to the scheduler otherwise. Its own handles map to
// the backend's, so the two backends' handle numbers never meet.
class CombinedSpooler : public platform::Spooler, public platform::SpoolerReports {
public:
    CombinedSpooler(cups::CupsSpooler& queues, direct::DirectSpooler& direct)
        : queues_(queues), direct_(direct)
    {}

    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    std::optional<std::string> Unreachable() override { return queues_.Unreachable(); }
    // Why the backend that failed last did so.
    std::optional<platform::DocumentOutcome> LastFailure() override;
    void AbandonDocuments() override;
    bool CanFollowJobs() const override { return true; }
    void SetPrintingWait(platform::PrintingWait wait) override
    {
        direct_.SetPrintingWait(wait);
        queues_.SetPrintingWait(wait);
    }
    std::vector<platform::DocumentOutcome> JobOutcomes() override;
    void WatchJobStates(std::function<void(const std::string& line)> onState) override
    {
        direct_.WatchJobStates(onState);
        queues_.WatchJobStates(std::move(onState));
    }
    bool CanTellStatus() const override { return true; }
    std::optional<platform::PrinterStatus> StatusOf(const std::string& printerName) override;

private:
    struct Route {
        platform::Spooler& spooler;
        platform::PrinterHandle handle;
    };

    // Passes `succeeded` on, noting which backend failed when it did not.
    bool Noted(const platform::Spooler& spooler, bool succeeded);

    cups::CupsSpooler& queues_;
    direct::DirectSpooler& direct_;
    backends::HandleTable<Route> routes_;
    std::atomic<bool> directFailedLast_ = false;
};

} // namespace rawlet::posix
