// The data type a document is started under, against Wine's winspool and the private
// scheduler's queue; the drivers and refusals Wine does not have come through the seam.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "test_queue.h"

namespace rawlet::test {
namespace {

using DataTypes = std::vector<std::optional<std::string>>;

// Winspool's own calls, with every document start's data type recorded on its way; with
// `refuseNames`, a start that names a data type is refused as a spooler refuses an unknown one.
// Wine has no XPS driver: the bytes such a driver passes through under XPS_PASS, Wine's
// passes through under RAW.
win32::WinspoolCalls Recording(DataTypes& started, bool refuseNames = false)
{
    win32::WinspoolCalls calls;
    calls.startDocument = [&started, refuseNames,
                           real = calls.startDocument](HANDLE printer, DOC_INFO_1A& document) -> DWORD {
        started.push_back(document.pDatatype ? std::optional<std::string>(document.pDatatype) : std::nullopt);
        if (refuseNames && document.pDatatype) {
            ::SetLastError(ERROR_INVALID_DATATYPE);
            return 0;
        }
        DOC_INFO_1A toWine = document;
        char raw[] = "RAW";
        if (toWine.pDatatype && std::string_view(toWine.pDatatype) == "XPS_PASS")
            toWine.pDatatype = raw;
        return real(printer, toWine);
    };
    return calls;
}

constexpr DWORD kXpsDriver = 0x2;
constexpr DWORD kPackageAware = 0x1;

const DocInfo kNoDataType{"receipt", std::nullopt, std::nullopt};

TEST(Win32DataType, WinesDriverGetsRawAndTheJobIsPrinted)
{
    DataTypes started;
    win32::Win32Spooler spooler(Recording(started));
    EXPECT_NE(PrintOne(spooler, kNoDataType), 0u);
    EXPECT_EQ(started, DataTypes{"RAW"});
}

TEST(Win32DataType, AnXpsDriverGetsXpsPass)
{
    DataTypes started;
    win32::WinspoolCalls calls = Recording(started);
    calls.driverAttributes = [](HANDLE) { return std::optional<DWORD>(kXpsDriver | kPackageAware); };
    win32::Win32Spooler spooler(calls);
    EXPECT_NE(PrintOne(spooler, kNoDataType), 0u);
    EXPECT_EQ(started, DataTypes{"XPS_PASS"});
}

TEST(Win32DataType, ADriverThatDoesNotTellGetsRaw)
{
    DataTypes started;
    win32::WinspoolCalls calls = Recording(started);
    calls.driverAttributes = [](HANDLE) { return std::optional<DWORD>(); };
    win32::Win32Spooler spooler(calls);
    EXPECT_NE(PrintOne(spooler, kNoDataType), 0u);
    EXPECT_EQ(started, DataTypes{"RAW"});
}

TEST(Win32DataType, TheCallersDataTypeIsPassedAsItIs)
{
    DataTypes started;
    win32::WinspoolCalls calls = Recording(started);
    calls.driverAttributes = [](HANDLE) { return std::optional<DWORD>(kXpsDriver); };
    win32::Win32Spooler spooler(calls);
    EXPECT_NE(PrintOne(spooler, {"receipt", std::nullopt, "RAW"}), 0u);
    EXPECT_EQ(started, DataTypes{"RAW"});
}

TEST(Win32DataType, ASpoolerThatRefusesTheNameStartsTheDocumentWithoutOne)
{
    DataTypes started;
    win32::Win32Spooler spooler(Recording(started, true));
    EXPECT_NE(PrintOne(spooler, kNoDataType), 0u);
    EXPECT_EQ(started, (DataTypes{"RAW", std::nullopt}));
}

} // namespace
} // namespace rawlet::test
