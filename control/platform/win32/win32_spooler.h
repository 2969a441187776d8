#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "platform/spooler.h"
#include "unique_printer.h"

namespace rawlet::win32 {

// The Windows print spooler through winspool's ANSI entry points.
//
// The control's handles are numbers of our own, never reused, mapped to the live winspool
// handles: a call on zero, an unknown number or a closed one fails before it can reach
// winspool, where a stale handle value might by then belong to another printer.
// One instance serves every thread of the process; the table is locked only while it is
// read or changed, never during a spooler call.
class Win32Spooler final : public platform::Spooler {
public:
    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    // Deletes every document in progress (AbortPrinter), so a job a program could not finish
    // does not print. Their handles stay open.
    void AbortDocuments();

    // How many documents the spooler refused to take at their end.
    std::size_t RefusedDocuments() const { return refusedDocuments_; }

    // Handles open now; for tests and leak checks.
    std::size_t LiveHandles() const;

private:
    struct Printer {
        UniquePrinter handle;
        // Whether a document was started and not yet ended, so closing can end it first.
        std::atomic<bool> documentInProgress = false;
    };

    std::shared_ptr<Printer> Find(platform::PrinterHandle handle) const;

    mutable std::mutex mutex_;
    std::map<platform::PrinterHandle, std::shared_ptr<Printer>> live_;
    platform::PrinterHandle lastIssued_ = 0;
    std::atomic<std::size_t> refusedDocuments_ = 0;
};

} // namespace rawlet::win32
