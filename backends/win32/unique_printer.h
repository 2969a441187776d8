#pragma once

#include <windows.h>
#include <winspool.h>

#include "unique_handle.h"

namespace rawlet::win32 {

// Owns a winspool printer handle: closing it is the destructor's job.
using UniquePrinter = winapi::Unique<HANDLE, ::ClosePrinter>;

} // namespace rawlet::win32
