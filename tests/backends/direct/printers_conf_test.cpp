// printers.conf and device URIs: what a direct printer's configuration may say, and the
// clear reason for every line that cannot be used.
#include <cstdlib>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "direct_printers.h"

namespace rawlet::direct {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

PrintersConf Read(const std::string& text)
{
    PrintersConf conf;
    std::istringstream lines(text);
    ReadPrintersConf(lines, "printers.conf", conf);
    return conf;
}

TEST(DeviceUri, ReadsEachKindWithItsDefaults)
{
    const DeviceUri socket = ParseDeviceUri("socket://10.0.0.5");
    EXPECT_EQ(socket.host, "10.0.0.5");
    EXPECT_EQ(socket.port, 9100);
    EXPECT_EQ(socket.timeout, std::chrono::seconds(10));

    const DeviceUri ipp = ParseDeviceUri("ipps://[::1]:8631/printers/Front?timeout=3");
    EXPECT_EQ(ipp.kind, DeviceUri::Kind::Ipps);
    EXPECT_EQ(ipp.host, "::1");
    EXPECT_EQ(ipp.port, 8631);
    EXPECT_EQ(ipp.path, "/printers/Front");
    EXPECT_EQ(ipp.timeout, std::chrono::seconds(3));

    const DeviceUri serial = ParseDeviceUri("serial:/dev/ttyS1?baud=19200+bits=7+parity=even+flow=soft");
    EXPECT_EQ(serial.path, "/dev/ttyS1");
    EXPECT_EQ(serial.serial.baud, 19200u);
    EXPECT_EQ(serial.serial.bits, 7u);
    EXPECT_EQ(serial.serial.parity, 'e');
    EXPECT_EQ(serial.serial.flow, 's');
    EXPECT_EQ(ParseDeviceUri("file:/dev/usb/lp0").kind, DeviceUri::Kind::File);
    // The spellings lpstat -v shows, and a printer at the root path.
    EXPECT_EQ(ParseDeviceUri("file:///dev/usb/lp0").path, "/dev/usb/lp0");
    EXPECT_EQ(ParseDeviceUri("ipp://10.0.0.6:8000").path, "/");
    EXPECT_EQ(ParseDeviceUri("socket://10.0.0.5?snmp=off").snmpCommunity, "");
    EXPECT_EQ(ParseDeviceUri("socket://10.0.0.5?snmp=shop+status=escpos").snmpCommunity, "shop");
    EXPECT_EQ(ParseDeviceUri("file:/dev/usb/lp0?status=zpl").probe, DeviceUri::Probe::Zpl);
}

TEST(DeviceUri, ReadsTheWindowsSpellingsOnEverySystem)
{
    const DeviceUri com = ParseDeviceUri("serial:COM12?baud=9600");
    EXPECT_EQ(com.kind, DeviceUri::Kind::Serial);
    EXPECT_EQ(com.path, "COM12");
    EXPECT_EQ(com.serial.baud, 9600u);
    EXPECT_EQ(ParseDeviceUri("serial:COM7").path, "COM7");
    EXPECT_EQ(ParseDeviceUri("file:LPT1").path, "LPT1");
    EXPECT_EQ(ParseDeviceUri("file:C:\\out\\r.bin").path, "C:\\out\\r.bin");
    const DeviceUri usb = ParseDeviceUri("usb://ACME%20Corp/TM-42?serial=X1+status=escpos");
    EXPECT_EQ(usb.kind, DeviceUri::Kind::Usb);
    EXPECT_EQ(usb.usb.make, "ACME Corp");
    EXPECT_EQ(usb.usb.model, "TM-42");
    EXPECT_EQ(usb.usb.serialNumber, "X1");
    EXPECT_EQ(usb.probe, DeviceUri::Probe::EscPos);
}

TEST(DeviceUri, RefusesWhatNamesNoDeviceAndSaysWhy)
{
    const std::pair<const char*, const char*> cases[] = {
        {"lpd://host/queue", "is not a device URI"},
        {"socket:10.0.0.5", "expected '//'"},
        {"socket://:9100", "no host"},
        {"socket://host:99999", "port must be a number from 1 to 65535"},
        {"socket://host/path", "has no path"},
        {"socket://host?timeout=0", "timeout must be a number"},
        {"socket://host?timeout=5+timeout=6", "given twice"},
        {"socket://host?baud=9600", "unknown option 'baud'"},
        {"socket://host?status=pcl", "status must be one of escpos, zpl"},
        {"ipp://host/ipp/print?status=escpos", "unknown option 'status'"},
        {"file://host/dev/lp0", "absolute device path"},
        {"serial:dev/ttyS0", "absolute device path"},
        {"serial:/dev/ttyS0?parity=mark", "parity must be one of none, even, odd"},
        {"serial:/dev/ttyS0?bits", "is not NAME=VALUE"},
        {"serial:LPT1", "absolute device path"},
        {"usb://ACME", "expected usb://MAKE/MODEL"},
        {"usb://ACME/TM%2", "two hexadecimal digits"},
    };
    for (const auto& [uri, reason] : cases) {
        try {
            ParseDeviceUri(uri);
            ADD_FAILURE() << uri << " was taken";
        } catch (const BadDeviceUri& problem) {
            EXPECT_THAT(problem.what(), HasSubstr(reason)) << uri;
        }
    }
}

TEST(PrintersConf, ReadsNamesAndUrisSkippingCommentsAndBadLines)
{
    const PrintersConf conf = Read("# receipts\n"
                                   "\n"
                                   "Front socket://10.0.0.5:9100\n"
                                   "Back\n"
                                   "Label ipp://10.0.0.6/ipp/print extra\n"
                                   "front serial:/dev/ttyS0\n"
                                   "Kitchen  \t file:/dev/usb/lp0  # at the pass\n"
                                   "Bar gopher://10.0.0.7\n"
                                   "Kitchen2 file:/dev/usb/lp1\n"
                                   "socket://10.0.0.8 socket://10.0.0.9\n");
    ASSERT_EQ(conf.printers.size(), 2u);
    EXPECT_EQ(conf.printers[0].name, "Front");
    EXPECT_EQ(conf.printers[0].uri.port, 9100);
    EXPECT_EQ(conf.printers[1].name, "Kitchen2");
    EXPECT_THAT(conf.problems,
                ElementsAre("printers.conf:4: no device URI after the name 'Back'",
                            "printers.conf:5: unexpected text after the URI: 'extra'",
                            "printers.conf:6: the name 'front' is already taken",
                            "printers.conf:7: unexpected text after the URI: '#'",
                            HasSubstr("printers.conf:8: 'gopher://10.0.0.7' is not a device URI"),
                            HasSubstr("printers.conf:10: the name 'socket://10.0.0.8' has a ':' or '/'")));
}

// A printer this system cannot reach is said at once, not when a job fails.
TEST(PrintersConf, ALineThisSystemHasNoTransportForIsSkippedWithItsReason)
{
    const PrintersConf conf = Read("Label usb://ACME/TM-42\nPass serial:COM7\n");
    EXPECT_TRUE(conf.printers.empty());
    EXPECT_THAT(conf.problems,
                ElementsAre(HasSubstr("printers.conf:1: 'usb://ACME/TM-42': usb:// printers are "
                                      "reached on Windows only: name the printer's device here, as "
                                      "in file:/dev/usb/lp0"),
                            HasSubstr("printers.conf:2: 'serial:COM7': COM7 is a Windows device")));
}

TEST(PrintersConf, ANamedFileThatCannotBeReadIsAProblem)
{
    ::setenv("RAWLET_PRINTERS", "/nonexistent/printers.conf", 1);
    const PrintersConf conf = LoadPrintersConf();
    ::unsetenv("RAWLET_PRINTERS");
    EXPECT_TRUE(conf.printers.empty());
    EXPECT_THAT(conf.problems, ElementsAre("/nonexistent/printers.conf: No such file or directory"));
}

// A program adding a printer learns that the name is taken, in whatever letter case, instead
// of printing later to the printer that has it.
TEST(DirectSpooler, ANameTakenInAnyLetterCaseKeepsItsPrinter)
{
    DirectSpooler spooler;
    EXPECT_TRUE(spooler.Add({"Receipts", ParseDeviceUri("socket://10.0.0.5")}));
    EXPECT_FALSE(spooler.Add({"RECEIPTS", ParseDeviceUri("socket://10.0.0.6")}));
    ASSERT_EQ(spooler.Printers().size(), 1u);
    EXPECT_EQ(spooler.Printers().front().uri.host, "10.0.0.5");
}

} // namespace
} // namespace rawlet::direct
