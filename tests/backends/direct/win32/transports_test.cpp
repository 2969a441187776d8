// The Windows transports under Wine, against loopback printers on the host (one folder each
// under RAWLET_TEST_PRINTERS, as scripts/lib/fake-printer starts them, named by their mode)
// and COM ports that the prefix maps to pseudo-terminals: COM7's far end is stored in
// RAWLET_TEST_PRINTERS\serial.bin, COM8's is never read. What a printer holds is read once the call has
// answered.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "status_sources.h"
#include "transports.h"
#include "win32_transports.h"

namespace rawlet::direct {
namespace {

using namespace std::chrono_literals;

std::string Folder(const std::string& printer)
{
    const char* printers = std::getenv("RAWLET_TEST_PRINTERS");
    return std::string(printers ? printers : ".") + "\\" + printer;
}

std::string Contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string SocketUri(const std::string& printer, const std::string& options,
                      const std::string& host = "127.0.0.1")
{
    return "socket://" + host + ":" + Contents(Folder(printer) + "\\port") + "?" + options;
}

// Every byte value, then enough more to make `size` bytes.
std::string Job(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t at = 0; at < size; ++at)
        bytes[at] = static_cast<char>(at % 256);
    return bytes;
}

// What a stream of `size` bytes into `path` holds once it has them all, or after 5 s.
std::string Received(const std::string& path, std::size_t size)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    std::string held = Contents(path);
    while (held.size() < size && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        held = Contents(path);
    }
    return held;
}

bool Print(Device& device, const std::string& job)
{
    return device.Begin("test") && device.Write(job) && device.Finish();
}

// The second time by name, which is looked up on a thread of its own.
TEST(SocketTransport, AGoodPrinterGetsEveryByteUnchangedByAddressOrName)
{
    const std::string job = Job(1024);
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        const auto device = MakeDevice(ParseDeviceUri(SocketUri("normal", "timeout=5", host)));
        ASSERT_TRUE(Print(*device, job)) << host << ": " << device->failure();
    }
    EXPECT_EQ(Contents(Folder("normal") + "\\job-1.bin"), job);
    EXPECT_EQ(Contents(Folder("normal") + "\\job-2.bin"), job);
}

TEST(SocketTransport, ASlowPrinterGetsA64KiBJobWhole)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("slow_32768", "timeout=10")));
    const std::string job = Job(64 * 1024);
    ASSERT_TRUE(Print(*device, job)) << device->failure();
    EXPECT_EQ(Contents(Folder("slow_32768") + "\\job-1.bin"), job);
}

TEST(SocketTransport, APrinterThatNeverReadsFailsWithinItsTimeout)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("stall", "timeout=2")));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Print(*device, Job(16 * 1024 * 1024)));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 6s); // the write's stall bound, or the wait for the printer to close
    EXPECT_NE(device->failure().find("timed out after 2 s"), std::string::npos) << device->failure();
    EXPECT_FALSE(device->taken().empty());
    EXPECT_FALSE(device->tookNone());
}

TEST(SocketTransport, APrinterThatRefusesTheConnectionTakesNothing)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("closed", "timeout=5")));
    EXPECT_FALSE(device->Begin("test"));
    EXPECT_FALSE(device->failure().empty());
    EXPECT_TRUE(device->tookNone());
}

TEST(SocketTransport, APrinterThatHangsUpAtOnceIsNotDelivered)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("refuse", "timeout=5")));
    EXPECT_FALSE(Print(*device, Job(1024)));
    EXPECT_FALSE(device->failure().empty());
}

TEST(SocketTransport, AnInterruptionEndsAStalledWriteAtOnce)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("stall", "timeout=60")));
    ASSERT_TRUE(device->Begin("test")) << device->failure();
    std::thread interrupter([&device] {
        std::this_thread::sleep_for(500ms);
        device->Interrupt();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device->Write(Job(16 * 1024 * 1024)) && device->Finish());
    interrupter.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_NE(device->failure().find("interrupted"), std::string::npos) << device->failure();
}

TEST(SocketTransport, AnEscPosPrinterOutOfPaperSaysSoOverTheChannel)
{
    const auto device = MakeDevice(ParseDeviceUri(SocketUri("escpos_paper-end", "timeout=5+status=escpos")));
    ASSERT_TRUE(device->ConnectToLook(true)) << device->failure();
    ASSERT_NE(device->channel(), nullptr);
    const auto facts = AskEscPos(*device->channel(), std::chrono::steady_clock::now() + 5s);
    ASSERT_TRUE(facts.has_value());
    EXPECT_NE(std::ranges::find(facts->reasons, "media-empty-error"), facts->reasons.end());
}

// Where the system counts what the printer acknowledged (SIO_TCP_INFO, which Wine lacks), a
// printer that has closed is delivered only once it has acknowledged every byte.
TEST(SocketTransport, CountsOfAcknowledgementHoldADeliveryBack)
{
    const auto countsOf = [](std::uint64_t inFlight) {
        return [inFlight](SOCKET) { return std::optional<TcpCounts>(TcpCounts{1024, inFlight}); };
    };
    SocketDevice acknowledged(ParseDeviceUri(SocketUri("normal", "timeout=1")), countsOf(0));
    EXPECT_TRUE(Print(acknowledged, Job(1024))) << acknowledged.failure();

    SocketDevice unacknowledged(ParseDeviceUri(SocketUri("normal", "timeout=1")), countsOf(10));
    EXPECT_FALSE(Print(unacknowledged, Job(1024)));
    EXPECT_EQ(unacknowledged.failure(), "timed out after 1 s with 10 bytes not acknowledged by the printer");
    EXPECT_EQ(unacknowledged.taken(), "the printer had acknowledged 1,014 of 1,024 bytes and may print them");
}

TEST(SerialTransport, AComPortGetsEveryByteUnchanged)
{
    const auto device = MakeDevice(ParseDeviceUri("serial:COM7?baud=19200+flow=soft+timeout=5"));
    const std::string job = Job(4096);
    ASSERT_TRUE(Print(*device, job)) << device->failure();
    EXPECT_EQ(Received(Folder("serial.bin"), job.size()), job);
}

TEST(SerialTransport, AComPortThatTakesNothingFailsWithinItsTimeout)
{
    const auto device = MakeDevice(ParseDeviceUri("serial:COM8?timeout=1"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Print(*device, Job(4 * 1024 * 1024)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_TRUE(device->stalled()) << device->failure();
    EXPECT_TRUE(device->taken().starts_with("the printer had received ")) << device->taken();
}

TEST(FileTransport, AFileIsEmptiedAndHoldsTheJob)
{
    const std::string path = Folder("file.bin");
    std::ofstream(path, std::ios::binary) << "an earlier job, longer than this one";
    const auto device = MakeDevice(ParseDeviceUri("file:" + path));
    ASSERT_TRUE(Print(*device, "\x1b@receipt\f")) << device->failure();
    EXPECT_EQ(Contents(path), "\x1b@receipt\f");
}

TEST(Transports, IppIsNamedThroughAWindowsQueue)
{
    EXPECT_THROW(MakeDevice(ParseDeviceUri("ipp://127.0.0.1/printers/q")), BadDeviceUri);
}

} // namespace
} // namespace rawlet::direct
