// Starting and ending documents and pages, resetting the printer, the About box.
#include "rawlet.h"

#include "errors.h"

namespace rawlet {

void Rawlet::StartDoc()
{
    if (!state_.queueOpen && !OpenQueue())
        Raise(errors::StartDocQueueOpenFailed());
    StartDocumentOnSlot();
    state_.documentStarted = true;
}

void Rawlet::EndPage()
{
    if (!host().AmbientUserMode())
        Raise(errors::NotInUserMode());
    if (!state_.queueOpen)
        Raise(errors::NoDocumentStarted());
    if (!spooler().EndPagePrinter(slotHandle()))
        Raise(errors::EndPageFailed());
    host().PropertyChanged("EndPage");
}

void Rawlet::EndDoc()
{
    if (!state_.queueOpen)
        return;
    WriteToSlot("\r");
    if (!spooler().EndDocPrinter(slotHandle()))
        Raise(errors::EndDocFailed());
    // The handle stays in the slot; the next open replaces (and closes) it.
    SetClosed();
}

void Rawlet::killDocument()
{
    state_.sendBuffer = "\x1B@"; // ESC @: initialise the printer
    WriteToSlot(state_.sendBuffer);
    PrinterClose();
}

void Rawlet::About() { host().ShowAboutDialog(); }

} // namespace rawlet
