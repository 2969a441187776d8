#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "win32_spooler.h"

namespace rawlet::test {

// The private scheduler's queue that Wine's winspool lists, named by the test's script.
inline std::string TestQueue()
{
    const char* name = std::getenv("RAWLET_TEST_PRINTER");
    return name ? name : "";
}

// Prints `bytes` as one document on the test queue, with `docInfo`, and returns its job's
// number (zero when the document did not start).
inline DWORD PrintOne(win32::Win32Spooler& spooler, const DocInfo& docInfo,
                      std::string_view bytes = "receipt\n")
{
    platform::PrinterHandle handle = 0;
    if (!spooler.OpenPrinterA(TestQueue(), handle))
        return 0;
    const DWORD job = spooler.StartDocPrinterA(handle, docInfo);
    std::uint32_t written = 0;
    const bool delivered =
        job != 0 && spooler.WritePrinter(handle, bytes, written) && spooler.EndDocPrinter(handle);
    spooler.ClosePrinter(handle);
    return delivered && written == bytes.size() ? job : 0;
}

} // namespace rawlet::test
