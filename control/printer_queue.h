#pragma once

#include <string_view>

#include <rawlet/platform/doc_info.h>
#include <rawlet/platform/spooler.h>

namespace rawlet {

// The printer handle of the queue opened last on this thread. Every control instance on a
// thread shares it; instances on other threads (other COM apartments) have their own.
struct SpoolerSlot {
    platform::PrinterHandle handle = 0;

    static SpoolerSlot& ForThisThread() noexcept;
};

// One instance's calls on the printer of this thread's SpoolerSlot. Results the control
// does not test are not returned.
class PrinterQueue {
public:
    // `spooler` must outlive the queue.
    explicit PrinterQueue(platform::Spooler& spooler) noexcept : spooler_(spooler) {}

    // Opens `printerName` and puts its handle in the slot. The handle it replaces may still
    // carry a job (after EndDoc, or another instance's queue): it is closed, so that job is
    // delivered now instead of when the process ends. False, with nothing changed, when the
    // spooler cannot open the printer.
    bool Open(std::string_view printerName);

    // Starts a document and its page on the slot's printer.
    void StartDocument(const DocInfo& docInfo);

    // Hands every byte to the slot's printer, offering the rest again after a short write.
    // False when a write fails or takes nothing: bytes that did not go out are never
    // reported as sent. One call is made even for no bytes, so a write without a document
    // fails.
    bool Write(std::string_view bytes);

    bool EndPage();
    bool EndDocument();

    // Ends the page and the document on the slot's printer, then closes it.
    void EndDocumentAndClose();

    // Closes the slot's printer and empties the slot, so no later call can reach it.
    void Close();

    // Whether the slot still holds the handle this instance opened last.
    bool HoldsOpenedHandle() const noexcept;

private:
    static platform::PrinterHandle& slot() noexcept { return SpoolerSlot::ForThisThread().handle; }

    platform::Spooler& spooler_;
    // The handle this instance's last open put in the slot; the slot may since hold
    // another instance's.
    platform::PrinterHandle opened_ = 0;
};

} // namespace rawlet
