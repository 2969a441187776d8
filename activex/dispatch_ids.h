#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oaidl.h>
#include <string_view>

// The members' dispatch identifiers, as the type library gives them.
namespace rawlet::activex::dispatch_ids {

inline constexpr DISPID kPrinterDocumentName = 0x68030000;
inline constexpr DISPID kPrinterTranslate = 0x68030001;
inline constexpr DISPID kPrinterName = 0x68030002;
inline constexpr DISPID kPrinterData = DISPID_VALUE;
inline constexpr DISPID kEndPage = 0x6003000C;

// The member whose change the control reports under `name`; DISPID_UNKNOWN (any or all
// may have changed) for a name that is none of them.
constexpr DISPID OfChange(std::string_view name) noexcept
{
    if (name == "PrinterName")
        return kPrinterName;
    if (name == "PrinterDocumentName")
        return kPrinterDocumentName;
    if (name == "PrinterTranslate")
        return kPrinterTranslate;
    if (name == "PrinterData")
        return kPrinterData;
    if (name == "EndPage")
        return kEndPage;
    return DISPID_UNKNOWN;
}

} // namespace rawlet::activex::dispatch_ids
