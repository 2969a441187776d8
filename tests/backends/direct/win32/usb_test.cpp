// USB printers through the seam of the USB printing class (Wine has none of its devices): how
// they are named and found, and a UsbDevice printing to a file that stands for one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "win32_transports.h"

namespace rawlet::direct {
namespace {

constexpr char kTmT88[] = "MFG:EPSON;CMD:ESC/POS;MDL:TM-T88V Receipt;";

// The USB printing class of a machine with the given printers, whose port status is `status`.
class AttachedPrinters final : public UsbPrintClass {
public:
    AttachedPrinters(std::vector<UsbPort> ports, int status) : ports_(std::move(ports)), status_(status) {}

    std::vector<UsbPort> Attached() override { return ports_; }
    std::optional<int> PortStatus(HANDLE, Clock::time_point) override { return status_; }

private:
    std::vector<UsbPort> ports_;
    int status_;
};

UsbPort Port(std::wstring path, std::string serial)
{
    return {std::move(path), "USB\\VID_04B8&PID_0202\\" + serial, kTmT88};
}

TEST(UsbPrinters, AreNamedByTheirDeviceIdAndSerialNumber)
{
    EXPECT_EQ(UsbUri(Port(L"p", "J5TF012345")), "usb://EPSON/TM-T88V%20Receipt?serial=J5TF012345");
    EXPECT_EQ(UsbUri({L"p", "USB\\VID_04B8&PID_0202&MI_00\\7&2A3B&0&0000", kTmT88}),
              "usb://EPSON/TM-T88V%20Receipt");
    EXPECT_EQ(UsbUri({L"p", "USB\\VID_04B8&PID_0202\\1", ""}), "");
}

TEST(UsbPrinters, AreFoundByTheirUriLetterCaseFree)
{
    const std::vector<UsbPort> ports = {Port(L"first", "A1"), Port(L"second", "B2")};
    const auto second = FindUsbPrinter(ports, ParseDeviceUri("usb://epson/TM-T88V%20receipt?serial=B2").usb);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->devicePath, L"second");
    EXPECT_EQ(FindUsbPrinter(ports, ParseDeviceUri("usb://EPSON/TM-T88V%20Receipt").usb), &ports.front());
    EXPECT_EQ(FindUsbPrinter(ports, ParseDeviceUri("usb://EPSON/TM-T88V%20Receipt?serial=C3").usb), nullptr);
}

TEST(UsbPrinters, ThoseNoConfiguredUriReachesAreListed)
{
    const std::vector<UsbPort> ports = {
        Port(L"first", "A1"), Port(L"second", "B2"), {L"mute", "USB\\VID_04B8&PID_0202\\C3", ""}};
    EXPECT_EQ(UnconfiguredUsbPrinters(ports, {ParseDeviceUri("socket://127.0.0.1")}),
              (std::vector<std::string>{"usb://EPSON/TM-T88V%20Receipt?serial=A1",
                                        "usb://EPSON/TM-T88V%20Receipt?serial=B2"}));
    // Without a serial number a URI reaches the first of its model only.
    EXPECT_EQ(UnconfiguredUsbPrinters(ports, {ParseDeviceUri("usb://epson/TM-T88V%20Receipt")}),
              (std::vector<std::string>{"usb://EPSON/TM-T88V%20Receipt?serial=B2"}));
    EXPECT_EQ(UnconfiguredUsbPrinters(ports, {ParseDeviceUri("usb://EPSON/TM-T88V%20Receipt?serial=B2"),
                                              ParseDeviceUri("usb://EPSON/TM-T88V%20Receipt?serial=A1")}),
              std::vector<std::string>{});
}

TEST(UsbPrinters, OneAttachedGetsTheJobAndTellsItsPortStatus)
{
    const std::string path = std::string(std::getenv("RAWLET_TEST_PRINTERS")) + "\\usb.bin";
    std::ofstream(path, std::ios::binary).flush();
    constexpr int kPaperOutSelected = 0x20 | 0x10;
    UsbDevice device(ParseDeviceUri("usb://EPSON/TM-T88V%20Receipt"),
                     std::make_unique<AttachedPrinters>(
                         std::vector{Port(std::wstring(path.begin(), path.end()), "A1")}, kPaperOutSelected));
    ASSERT_TRUE(device.Begin("test") && device.Write("\x1b@receipt\n") && device.Finish())
        << device.failure();
    std::ifstream file(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "\x1b@receipt\n");
    const auto facts = device.AskPort();
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->reasons, std::vector<std::string>{"media-empty-error"});
    EXPECT_EQ(facts->deviceId, kTmT88);
}

TEST(UsbPrinters, OneNotAttachedIsNotReached)
{
    UsbDevice device(ParseDeviceUri("usb://EPSON/TM-T20"),
                     std::make_unique<AttachedPrinters>(std::vector<UsbPort>{}, 0));
    EXPECT_FALSE(device.Begin("test"));
    EXPECT_EQ(device.failure(), "no USB printer EPSON TM-T20 is attached");
    EXPECT_TRUE(device.tookNone());
}

} // namespace
} // namespace rawlet::direct
