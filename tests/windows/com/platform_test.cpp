// The Windows platform services on their own, against Wine's winspool and code pages
// (an en_US locale: ANSI 1252, OEM 437).
#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include "ocx.h"
#include "win32_code_page.h"
#include "win32_printer_list.h"
#include "win32_spooler.h"

namespace rawlet::test {
namespace {

std::string TestPrinterAnsi()
{
    const std::wstring wide = TestPrinter();
    return std::string(wide.begin(), wide.end()); // the scheduler's queue names are ASCII
}

TEST(Win32PrinterList, ListsTheSchedulersPrinter)
{
    win32::Win32PrinterList printers;
    const auto names = printers.DeviceNames();
    EXPECT_NE(std::find(names.begin(), names.end(), TestPrinterAnsi()), names.end());
}

TEST(Win32Spooler, HandlesAreNeverReusedAndDeadOnesReachNothing)
{
    win32::Win32Spooler spooler;
    platform::PrinterHandle first = 0, second = 0;
    ASSERT_TRUE(spooler.OpenPrinterA(TestPrinterAnsi(), first));
    EXPECT_TRUE(spooler.ClosePrinter(first));
    ASSERT_TRUE(spooler.OpenPrinterA(TestPrinterAnsi(), second));
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(spooler.LiveHandles(), 1u);

    std::uint32_t written = 99;
    for (const platform::PrinterHandle dead : {platform::PrinterHandle{0}, first, second + 1000}) {
        EXPECT_EQ(spooler.StartDocPrinterA(dead, DocInfo{"never", std::nullopt, std::nullopt}), 0u);
        EXPECT_FALSE(spooler.StartPagePrinter(dead));
        EXPECT_FALSE(spooler.WritePrinter(dead, "never", written));
        EXPECT_EQ(written, 0u);
        EXPECT_FALSE(spooler.EndPagePrinter(dead));
        EXPECT_FALSE(spooler.EndDocPrinter(dead));
        EXPECT_FALSE(spooler.ClosePrinter(dead));
    }
    EXPECT_FALSE(spooler.WritePrinter(second, "no document yet", written)) << "a write needs a document";
    EXPECT_TRUE(spooler.ClosePrinter(second));
    EXPECT_EQ(spooler.LiveHandles(), 0u);
}

TEST(Win32Spooler, OpeningAPrinterThatIsNotInstalledFailsAndLeavesTheHandle)
{
    win32::Win32Spooler spooler;
    platform::PrinterHandle handle = 12345;
    EXPECT_FALSE(spooler.OpenPrinterA("no such printer", handle));
    EXPECT_EQ(handle, 12345u);
    EXPECT_EQ(spooler.LiveHandles(), 0u);
}

TEST(Win32CodePage, TranslatesTheWholeBufferNulIncluded)
{
    const win32::Win32CodePage codePage;
    const std::string ansi("A\xE9\0\xE9\xC4", 5);
    std::string oem(ansi.size(), '?');
    codePage.CharToOemBuffA(ansi, oem.data());
    EXPECT_EQ(oem, std::string("A\x82\0\x82\x8E", 5));

    std::string inPlace = ansi;
    codePage.CharToOemBuffA(inPlace, inPlace.data());
    EXPECT_EQ(inPlace, oem);
}

TEST(Win32CodePage, UpperCasesByTheAnsiCodePage)
{
    const win32::Win32CodePage codePage;
    EXPECT_EQ(codePage.CharUpperBuffA(std::string("printer \xE9t\xE9\0x", 12)),
              std::string("PRINTER \xC9T\xC9\0X", 12));
}

} // namespace
} // namespace rawlet::test
