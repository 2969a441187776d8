// Choosing the printer, naming the document, switching the translation.
#include "rawlet.h"

#include "errors.h"

namespace rawlet {

std::optional<std::string> Rawlet::FindInstalledPrinter(std::string_view name)
{
    const std::string wanted = platform_.codePage.CharUpperBuffA(name);
    for (std::string& deviceName : platform_.printers.DeviceNames())
        if (platform_.codePage.CharUpperBuffA(deviceName) == wanted)
            return std::move(deviceName);
    return std::nullopt;
}

void Rawlet::SetPrinterName(std::string_view New_PrinterName)
{
    std::optional<std::string> deviceName = FindInstalledPrinter(New_PrinterName);
    if (!deviceName)
        Raise(errors::PrinterNameRejected());
    state_.printerName = std::move(*deviceName);
    host().PropertyChanged("PrinterName");

    // Whatever the state, the thread's printer is ended and closed: the new name takes
    // effect with a fresh queue.
    spooler().EndPagePrinter(slotHandle());
    spooler().EndDocPrinter(slotHandle());
    ReleaseSlotHandle();
    SetClosed();
}

void Rawlet::SetPrinterDocumentName(std::string_view New_PrinterDocumentName)
{
    state_.documentName = New_PrinterDocumentName;
    state_.docInfo.docName = state_.documentName;
    host().PropertyChanged("PrinterDocumentName");
}

void Rawlet::SetPrinterTranslate(bool New_LocaleTranslate)
{
    state_.translate = New_LocaleTranslate;
    host().PropertyChanged("PrinterTranslate");
}

} // namespace rawlet
