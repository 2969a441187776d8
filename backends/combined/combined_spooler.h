#pragma once

#include <atomic>

#include <rawlet/platform/spooler.h>

#include "direct_printers.h"
#include "handle_table.h"

namespace rawlet::combined {

// The system's queues and the direct printers behind one spooler: each open goes to the
// direct printers when one has the name, to the queues otherwise. Its own handles map to the
// backend's, so the two backends' handle numbers never meet.
class CombinedSpooler : public platform::Spooler, public platform::SpoolerReports {
public:
    // `queues` and `queueReports`: the system's spooler (CUPS, winspool) and its reports.
    CombinedSpooler(platform::Spooler& queues, platform::SpoolerReports& queueReports,
                    direct::DirectSpooler& direct)
        : queues_(queues), queueReports_(queueReports), direct_(direct)
    {}

    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    std::optional<std::string> Unreachable() override { return queueReports_.Unreachable(); }
    // Why the backend that failed last, or else started the last document, did so.
    std::optional<platform::DocumentOutcome> LastFailure() override;
    void AbandonDocuments() override;
    // The direct printers can always tell what became of a job; a queue's job is followed as
    // far as its spooler can.
    bool CanFollowJobs() const override { return true; }
    void SetPrintingWait(platform::PrintingWait wait) override
    {
        direct_.SetPrintingWait(wait);
        queueReports_.SetPrintingWait(wait);
    }
    std::vector<platform::DocumentOutcome> JobOutcomes() override;
    void WatchJobStates(std::function<void(const std::string& line)> onState) override
    {
        direct_.WatchJobStates(onState);
        queueReports_.WatchJobStates(std::move(onState));
    }
    // The direct printers can always be asked; a queue when its spooler tells status.
    bool CanTellStatus() const override { return true; }
    std::optional<platform::PrinterStatus> StatusOf(const std::string& printerName) override;

private:
    struct Route {
        platform::Spooler& spooler;
        platform::PrinterHandle handle;
    };

    // Passes `succeeded` on, noting which backend failed when it did not.
    bool Noted(const platform::Spooler& spooler, bool succeeded);

    platform::Spooler& queues_;
    platform::SpoolerReports& queueReports_;
    direct::DirectSpooler& direct_;
    backends::HandleTable<Route> routes_;
    std::atomic<bool> directFailedLast_ = false;
};

} // namespace rawlet::combined
