#pragma once

// The text of libcups's last error; header-only, like ipp_attributes.h, for both the CUPS
// backend and the direct printers' IPP device.

#include <string>

#include <cups/cups.h>

namespace rawlet::cups {

// libcups leaves the message null for some statuses, and empty for others: the status's
// own name stands in for it then.
inline std::string LastErrorText()
{
    const char* text = cupsLastErrorString();
    return text && *text ? text : ippErrorString(cupsLastError());
}

} // namespace rawlet::cups
