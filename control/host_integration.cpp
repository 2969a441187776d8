// Creation defaults, saved properties and design-time size.
#include "rawlet.h"

namespace rawlet {

namespace keys {
constexpr std::string_view kPrinterName = "PrinterName";
constexpr std::string_view kPrinterData = "PrinterData";
constexpr std::string_view kLocaleTranslate = "LocaleTranslate";
constexpr std::string_view kPrinterDocumentName = "PrinterDocumentName";
} // namespace keys

void Rawlet::Initialise()
{
    state_.printerName.clear();
    state_.printerData.clear();
    state_.translate = false;
    state_.documentName.clear();
    SetClosed();
}

// Takes the saved values as they are: no printer lookup, no printing, no notification.
// A value that cannot be read leaves its field unchanged and the other keys still load.
void Rawlet::Load(platform::PropertyBag& bag)
{
    if (auto value = bag.ReadText(keys::kPrinterName, ""))
        state_.printerName = std::move(*value);
    if (auto value = bag.ReadText(keys::kPrinterData, ""))
        state_.printerData = std::move(*value);
    if (auto value = bag.ReadBoolean(keys::kLocaleTranslate, false))
        state_.translate = *value;
    if (auto value = bag.ReadText(keys::kPrinterDocumentName, ""))
        state_.documentName = std::move(*value);
}

void Rawlet::Save(platform::PropertyBag& bag) const
{
    bag.WriteText(keys::kPrinterName, state_.printerName);
    bag.WriteText(keys::kPrinterData, state_.printerData);
    bag.WriteBoolean(keys::kLocaleTranslate, state_.translate);
    bag.WriteText(keys::kPrinterDocumentName, state_.documentName);
}

// Whatever size the designer drags the control to, it snaps back to its icon.
void Rawlet::Resize()
{
    image1_.left = 0;
    image1_.top = 0;
    host().SetControlSize(image1_.width, image1_.height);
}

} // namespace rawlet
