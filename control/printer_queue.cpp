// Opening and closing the printer queue, and the thread's printer handle.
#include "rawlet.h"

namespace rawlet {

Rawlet::Rawlet(platform::Platform platform) : platform_(platform) {}

Rawlet::~Rawlet()
{
    if (state_.queueOpen && openedHandle_ != 0 && slotHandle() == openedHandle_)
        PrinterClose();
}

bool Rawlet::OpenQueue()
{
    platform::PrinterHandle opened = 0;
    if (!spooler().OpenPrinterA(state_.printerName, opened))
        return false;

    // The handle being replaced may still carry a job (after EndDoc, or another instance's
    // queue): closing it delivers that job now instead of when the process ends.
    if (slotHandle() != 0 && slotHandle() != opened)
        spooler().ClosePrinter(slotHandle());
    slotHandle() = opened;
    openedHandle_ = opened;

    state_.docInfo = DocInfo{state_.documentName, std::nullopt, std::nullopt};
    StartDocumentOnSlot();
    state_.documentStarted = true;
    state_.queueOpen = true;
    return true;
}

void Rawlet::PrinterClose()
{
    if (!state_.queueOpen)
        return;
    if (state_.documentStarted) {
        spooler().EndPagePrinter(slotHandle());
        spooler().EndDocPrinter(slotHandle());
    }
    ReleaseSlotHandle();
    SetClosed();
}

void Rawlet::StartDocumentOnSlot()
{
    spooler().StartDocPrinterA(slotHandle(), state_.docInfo);
    spooler().StartPagePrinter(slotHandle());
}

// Once closed, the handle is forgotten, so no later call can reach it.
void Rawlet::ReleaseSlotHandle()
{
    spooler().ClosePrinter(slotHandle());
    slotHandle() = 0;
}

void Rawlet::SetClosed()
{
    state_.queueOpen = false;
    state_.documentStarted = false;
}

// Spooler writes may accept fewer bytes than offered; offer the rest until all are taken.
// A write that fails, or accepts nothing, is a failure: never report bytes as sent that
// did not go out. One call is made even for no bytes, so a write without a document fails.
bool Rawlet::WriteToSlot(std::string_view bytes)
{
    constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
    do {
        const std::string_view chunk = bytes.substr(0, kMaxChunk);
        std::uint32_t written = 0;
        if (!spooler().WritePrinter(slotHandle(), chunk, written))
            return false;
        if (written > chunk.size() || (written == 0 && !chunk.empty()))
            return false;
        bytes.remove_prefix(written);
    } while (!bytes.empty());
    return true;
}

void Rawlet::Raise(const Error& error)
{
    host().RaiseError(error);
    throw error; // a host that returns from RaiseError must still end the member
}

} // namespace rawlet
