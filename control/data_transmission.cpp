// Writing the application's text to the printer.
#include "rawlet.h"

#include "errors.h"

namespace rawlet {

std::string Rawlet::PrinterData() const { return state_.queueOpen ? state_.printerData : std::string(); }

void Rawlet::SetPrinterData(std::string_view New_PrinterData)
{
    std::string copy(New_PrinterData);
    if (!state_.queueOpen && !state_.printerName.empty()) {
        if (!FindInstalledPrinter(state_.printerName))
            Raise(errors::StoredPrinterNameInvalid());
        if (!OpenQueue())
            Raise(errors::DataQueueOpenFailed());
    }
    // Only with no printer name of its own does the instance get here without a document;
    // it then writes to whatever printer the thread holds.
    if (!state_.documentStarted)
        StartDocumentOnSlot();

    state_.sendBuffer = copy;
    state_.outBuffer = copy;
    if (state_.translate)
        platform_.codePage.CharToOemBuffA(state_.sendBuffer, state_.outBuffer.data());

    if (!WriteToSlot(state_.outBuffer))
        Raise(errors::WriteFailed());
    state_.printerData = std::move(copy);
    host().PropertyChanged("PrinterData");
}

} // namespace rawlet
