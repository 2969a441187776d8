#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include <rawlet/platform/spooler.h>

#include "handle_table.h"
#include "unique_printer.h"

namespace rawlet::win32 {

// The Windows print spooler through winspool's ANSI entry points.
//
// The control's handles are numbers of our own, mapped to the live winspool handles: a call
// on zero, an unknown number or a closed one fails before it can reach winspool, where a
// stale handle value might by then belong to another printer. One instance serves every
// thread of the process.
class Win32Spooler final : public platform::Spooler, public platform::SpoolerReports {
public:
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
    // Deletes every document in progress (AbortPrinter).
    void AbandonDocuments() override;
    // winspool hands a finished document over without telling whether it printed; it does
    // tell when it refuses one.
    bool CanFollowJobs() const override { return false; }
    std::vector<platform::DocumentOutcome> JobOutcomes() override;

    // Handles open now; for tests and leak checks.
    std::size_t LiveHandles() const;

private:
    struct Printer {
        UniquePrinter handle;
        // Whether a document was started and not yet ended, so closing can end it first.
        std::atomic<bool> documentInProgress = false;
    };

    backends::HandleTable<Printer> printers_;
    void Record(bool accepted);

    std::mutex endedMutex_;
    std::vector<platform::DocumentOutcome> ended_; // the most recent documents ended
};

} // namespace rawlet::win32
