#include <rawlet/rawlet.h>

#include "control_state.h"
#include "error_texts.h"
#include "printer_names.h"
#include "printer_queue.h"

namespace rawlet {

namespace keys {
constexpr std::string_view kPrinterName = "PrinterName";
constexpr std::string_view kPrinterData = "PrinterData";
constexpr std::string_view kLocaleTranslate = "LocaleTranslate";
constexpr std::string_view kPrinterDocumentName = "PrinterDocumentName";
} // namespace keys

Rawlet::Rawlet(platform::Platform platform)
    : platform_(platform), state_(std::make_unique<ControlState>()),
      queue_(std::make_unique<PrinterQueue>(platform.spooler))
{}

Rawlet::~Rawlet()
{
    if (state_->queueOpen && queue_->HoldsOpenedHandle())
        PrinterClose();
}

// ---- Choosing the printer, naming the document, switching the translation

const std::string& Rawlet::PrinterName() const noexcept { return state_->printerName; }

void Rawlet::SetPrinterName(std::string_view New_PrinterName)
{
    std::optional<std::string> deviceName = FindInstalledPrinter(New_PrinterName);
    if (!deviceName)
        Raise(errors::PrinterNameRejected());
    state_->printerName = std::move(*deviceName);
    host().PropertyChanged("PrinterName");

    // Whatever the state, the thread's printer is ended and closed: the new name takes
    // effect with a fresh queue.
    queue_->EndDocumentAndClose();
    SetClosed();
}

const std::string& Rawlet::PrinterDocumentName() const noexcept { return state_->documentName; }

void Rawlet::SetPrinterDocumentName(std::string_view New_PrinterDocumentName)
{
    state_->documentName = New_PrinterDocumentName;
    state_->docInfo.docName = state_->documentName;
    host().PropertyChanged("PrinterDocumentName");
}

bool Rawlet::PrinterTranslate() const noexcept { return state_->translate; }

void Rawlet::SetPrinterTranslate(bool New_LocaleTranslate)
{
    state_->translate = New_LocaleTranslate;
    host().PropertyChanged("PrinterTranslate");
}

std::optional<std::string> Rawlet::FindInstalledPrinter(std::string_view name)
{
    return MatchPrinterName(platform_.printers, platform_.codePage, name);
}

// ---- Writing the application's text to the printer

std::string Rawlet::PrinterData() const { return state_->queueOpen ? state_->printerData : std::string(); }

void Rawlet::SetPrinterData(std::string_view New_PrinterData)
{
    if (!state_->queueOpen && !state_->printerName.empty()) {
        if (!FindInstalledPrinter(state_->printerName))
            Raise(errors::StoredPrinterNameInvalid());
        if (!OpenQueue())
            Raise(errors::DataQueueOpenFailed());
    }
    // Only with no printer name of its own does the instance get here without a document;
    // it then writes to whatever printer the thread holds.
    if (!state_->documentStarted)
        queue_->StartDocument(state_->docInfo);

    bool written;
    if (state_->translate) {
        std::string oem(New_PrinterData.size(), '\0');
        platform_.codePage.CharToOemBuffA(New_PrinterData, oem.data());
        written = queue_->Write(oem);
    } else {
        written = queue_->Write(New_PrinterData);
    }
    if (!written)
        Raise(errors::WriteFailed());
    state_->printerData = New_PrinterData;
    host().PropertyChanged("PrinterData");
}

// ---- Starting and ending documents and pages, resetting the printer, the About box

void Rawlet::StartDoc()
{
    if (!state_->queueOpen && !OpenQueue())
        Raise(errors::StartDocQueueOpenFailed());
    queue_->StartDocument(state_->docInfo);
    state_->documentStarted = true;
}

void Rawlet::EndPage()
{
    if (!host().AmbientUserMode())
        Raise(errors::NotInUserMode());
    if (!state_->queueOpen)
        Raise(errors::NoDocumentStarted());
    if (!queue_->EndPage())
        Raise(errors::EndPageFailed());
    host().PropertyChanged("EndPage");
}

void Rawlet::EndDoc()
{
    if (!state_->queueOpen)
        return;
    queue_->Write("\r");
    if (!queue_->EndDocument())
        Raise(errors::EndDocFailed());
    // The handle stays in the slot; the next open replaces (and closes) it.
    SetClosed();
}

void Rawlet::PrinterClose()
{
    if (!state_->queueOpen)
        return;
    if (state_->documentStarted)
        queue_->EndDocumentAndClose();
    else
        queue_->Close();
    SetClosed();
}

void Rawlet::killDocument()
{
    queue_->Write("\x1B@"); // ESC @: initialise the printer
    PrinterClose();
}

void Rawlet::About() { host().ShowAboutDialog(); }

// ---- Creation defaults, saved properties and design-time size

void Rawlet::Initialise()
{
    state_->printerName.clear();
    state_->printerData.clear();
    state_->translate = false;
    state_->documentName.clear();
    SetClosed();
}

// Takes the saved values as they are: no printer lookup, no printing, no notification.
// A value that cannot be read leaves its field unchanged and the other keys still load.
void Rawlet::Load(platform::PropertyBag& bag)
{
    if (auto value = bag.ReadText(keys::kPrinterName, ""))
        state_->printerName = std::move(*value);
    if (auto value = bag.ReadText(keys::kPrinterData, ""))
        state_->printerData = std::move(*value);
    if (auto value = bag.ReadBoolean(keys::kLocaleTranslate, false))
        state_->translate = *value;
    if (auto value = bag.ReadText(keys::kPrinterDocumentName, ""))
        state_->documentName = std::move(*value);
}

void Rawlet::Save(platform::PropertyBag& bag) const
{
    bag.WriteText(keys::kPrinterName, state_->printerName);
    bag.WriteText(keys::kPrinterData, state_->printerData);
    bag.WriteBoolean(keys::kLocaleTranslate, state_->translate);
    bag.WriteText(keys::kPrinterDocumentName, state_->documentName);
}

// Whatever size the designer drags the control to, it snaps back to its icon.
void Rawlet::Resize()
{
    image1_.left = 0;
    image1_.top = 0;
    host().SetControlSize(image1_.width, image1_.height);
}

// ---- Shared steps

bool Rawlet::OpenQueue()
{
    if (!queue_->Open(state_->printerName))
        return false;
    state_->docInfo = DocInfo{state_->documentName, std::nullopt, std::nullopt};
    queue_->StartDocument(state_->docInfo);
    state_->documentStarted = true;
    state_->queueOpen = true;
    return true;
}

void Rawlet::SetClosed()
{
    state_->queueOpen = false;
    state_->documentStarted = false;
}

void Rawlet::Raise(const Error& error)
{
    host().RaiseError(error);
    throw error; // a host that returns from RaiseError must still end the member
}

} // namespace rawlet
