#include "printer_queue.h"

#include <cstdint>

namespace rawlet {

SpoolerSlot& SpoolerSlot::ForThisThread() noexcept
{
    thread_local SpoolerSlot slot;
    return slot;
}

bool PrinterQueue::Open(std::string_view printerName)
{
    platform::PrinterHandle opened = 0;
    if (!spooler_.OpenPrinterA(printerName, opened))
        return false;
    if (slot() != 0 && slot() != opened)
        spooler_.ClosePrinter(slot());
    slot() = opened;
    opened_ = opened;
    return true;
}

void PrinterQueue::StartDocument(const DocInfo& docInfo)
{
    spooler_.StartDocPrinterA(slot(), docInfo);
    spooler_.StartPagePrinter(slot());
}

bool PrinterQueue::Write(std::string_view bytes)
{
    constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
    do {
        const std::string_view chunk = bytes.substr(0, kMaxChunk);
        std::uint32_t written = 0;
        if (!spooler_.WritePrinter(slot(), chunk, written))
            return false;
        if (written > chunk.size() || (written == 0 && !chunk.empty()))
            return false;
        bytes.remove_prefix(written);
    } while (!bytes.empty());
    return true;
}

bool PrinterQueue::EndPage() { return spooler_.EndPagePrinter(slot()); }

bool PrinterQueue::EndDocument() { return spooler_.EndDocPrinter(slot()); }

void PrinterQueue::EndDocumentAndClose()
{
    EndPage();
    EndDocument();
    Close();
}

void PrinterQueue::Close()
{
    spooler_.ClosePrinter(slot());
    slot() = 0;
}

bool PrinterQueue::HoldsOpenedHandle() const noexcept { return opened_ != 0 && slot() == opened_; }

} // namespace rawlet
