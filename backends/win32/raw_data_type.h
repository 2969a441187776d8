#pragma once

#include <string>

#include "winspool_calls.h"

namespace rawlet::win32 {

// The data type under which the printer's driver passes a document's bytes through untouched:
// "XPS_PASS" for an XPS driver, "RAW" for any other, or one that does not say. Left to the
// driver's default, EMF or XPS, raw bytes become an empty or garbled job while every call
// succeeds.
std::string RawDataTypeOf(HANDLE printer, const WinspoolCalls& calls);

} // namespace rawlet::win32
