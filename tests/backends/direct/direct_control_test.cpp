// The control printing to direct printers through the library's platform, beside a queue of
// the private scheduler.
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <latch>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "posix_platform.h"
#include "posix_transports.h"
#include "sandbox_queue.h"
#include "test_support.h"
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Optional;
using namespace std::chrono_literals;

constexpr codepage::CodePagePair kCodePages{1252, 437};

// A queue and a direct printer open at once, on two threads: the backends number their
// handles each from one, and no byte may reach the other's device.
TEST(DirectControlTest, AQueueAndADirectPrinterOpenAtOnceKeepTheirBytesApart)
{
    SandboxQueue queue(TestName() + "-queue");
    SandboxQueue device(TestName() + "-device");
    posix::PosixPlatform system(kCodePages);
    ASSERT_TRUE(system.AddDirectPrinter("Front-Counter", device.DeviceUri()));

    std::latch bothOpen(2);
    auto print = [&](const std::string& printer, const std::string& tag) {
        Rawlet control(system.Services());
        control.SetPrinterName(printer);
        control.SetPrinterData(tag + "-1 ");
        bothOpen.arrive_and_wait();
        control.SetPrinterData(tag + "-2");
        control.PrinterClose();
    };
    std::thread toQueue(print, queue.name(), "queue");
    std::thread toDevice(print, "front-counter", "direct"); // letter case is free, as for queues
    toQueue.join();
    toDevice.join();

    EXPECT_THAT(queue.ReceivedJobs(), ElementsAre("queue-1 queue-2"));
    EXPECT_EQ(device.ReceivedJob(1), "direct-1 direct-2");
}

// A document cut short is never stored as a job, and the printer takes the next one.
TEST(DirectControlTest, AnAbandonedDocumentDoesNotReachTheDeviceAsAJob)
{
    SandboxQueue device(TestName());
    posix::PosixPlatform system(kCodePages);
    ASSERT_TRUE(system.AddDirectPrinter("Drawer", device.DeviceUri()));
    {
        Rawlet control(system.Services());
        control.SetPrinterName("Drawer");
        control.SetPrinterData("half a receipt");
        system.Services().reports->AbandonDocuments();
        EXPECT_THROW(control.SetPrinterData("the other half"), Error);
    }
    Rawlet control(system.Services());
    control.SetPrinterName("Drawer");
    control.SetPrinterData("next receipt");
    control.PrinterClose();
    EXPECT_EQ(device.ReceivedJob(2), "next receipt");
    EXPECT_FALSE(std::filesystem::exists(device.JobFile(1)));
}

// Makes `listener` listen on a loopback port of its own, with `backlog`; the address.
sockaddr_in ListenOnLoopback(int listener, int backlog)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no loopback port for the test printer");
    return address;
}

// A printer of the test's own on a loopback port, for behaviour the capture devices cannot
// time: it accepts one connection when asked, and does with it what the test says.
class HangingUpPrinter {
public:
    HangingUpPrinter()
    {
        constexpr int kSmallestBuffer = 1; // the system rounds it up to its least
        ::setsockopt(listener_.get(), SOL_SOCKET, SO_RCVBUF, &kSmallestBuffer, sizeof kSmallestBuffer);
        uri_ = "socket://127.0.0.1:" + std::to_string(ntohs(ListenOnLoopback(listener_.get(), 1).sin_port));
    }

    const std::string& uri() const { return uri_; }
    int Accept() { return ::accept(listener_.get(), nullptr, nullptr); }

private:
    posixapi::UniqueFd listener_{::socket(AF_INET, SOCK_STREAM, 0)};
    std::string uri_;
};

// A printer whose listener never accepts and has its backlog full: a connection to it is never
// answered, as to a printer that is switched off behind a switch that drops what it sends.
class UnansweringPrinter {
public:
    UnansweringPrinter()
    {
        const sockaddr_in address = ListenOnLoopback(listener_.get(), 0);
        port_ = ntohs(address.sin_port);
        for (posixapi::UniqueFd& client : waiting_) {
            client.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            ::connect(client.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
        }
    }

    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    posixapi::UniqueFd listener_{::socket(AF_INET, SOCK_STREAM, 0)};
    posixapi::UniqueFd waiting_[3];
    int port_ = 0;
};

// An interruption ends a connection being made at once, not after its timeout, whether the
// printer is reached over AppSocket or IPP.
TEST(DirectControlTest, AbandoningEndsAConnectionBeingMade)
{
    UnansweringPrinter printer;
    for (const std::string scheme : {"socket", "ipp"}) {
        posix::PosixPlatform system(kCodePages);
        ASSERT_TRUE(system.AddDirectPrinter("Far", scheme + "://" + printer.address() + "?timeout=10"));
        auto printing = std::async(std::launch::async, [&] {
            Rawlet control(system.Services());
            control.SetPrinterName("Far");
            EXPECT_THROW(control.SetPrinterData("receipt"), Error);
        });
        std::this_thread::sleep_for(500ms);
        system.Services().reports->AbandonDocuments();
        EXPECT_EQ(printing.wait_for(1s), std::future_status::ready) << scheme;
        printing.wait();
        EXPECT_THAT(system.Services().reports->LastFailure(),
                    Optional(Field(&platform::DocumentOutcome::reason, HasSubstr(": interrupted"))))
            << scheme;
    }
}

// A printer that hangs up at once, as a busy one may, has taken nothing: the job must not
// count as delivered, whether its hang-up is seen before the job ends or after. One that
// acknowledged none of it will not print it; one that acknowledged bytes, even unread, may.
TEST(DirectControlTest, APrinterThatHangsUpUnreadHasNotTakenTheJob)
{
    HangingUpPrinter printer;
    posix::PosixPlatform system(kCodePages);
    ASSERT_TRUE(system.AddDirectPrinter("Busy", printer.uri()));
    Rawlet control(system.Services());
    control.SetPrinterName("Busy");
    control.SetPrinterData(""); // connected, with the document started
    ::close(printer.Accept());
    control.SetPrinterData("receipt");
    control.PrinterClose();

    // Its end of stream first, the reset later: more than its buffer holds is still unread
    // when the end of stream arrives.
    control.SetPrinterData("");
    const int connection = printer.Accept();
    ::shutdown(connection, SHUT_WR);
    std::thread hangUp([connection] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(connection);
    });
    control.SetPrinterData(std::string(16 * 1024, 'x'));
    control.PrinterClose();
    hangUp.join();

    const auto hungUp =
        Field(&platform::DocumentOutcome::reason, HasSubstr("the printer hung up without taking the job"));
    const auto ended = [](Outcome outcome) { return Field(&platform::DocumentOutcome::outcome, outcome); };
    EXPECT_THAT(
        system.Services().reports->JobOutcomes(),
        ElementsAre(
            AllOf(hungUp, ended(Outcome::notPrinted),
                  Field(&platform::DocumentOutcome::reason,
                        HasSubstr("the printer had acknowledged none of 7 bytes: nothing will print"))),
            AllOf(hungUp, ended(Outcome::unknown))));
}

// The test IPP printer (scripts/lib/ipp-printer.py) in a folder of its own, in the given mode,
// started by the launcher of the fake printers, which returns once it listens.
class IppTestPrinter {
public:
    explicit IppTestPrinter(const std::string& mode)
        : folder_(std::filesystem::temp_directory_path() / ("rawlet-ipp-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "mode") << mode;
        if (std::system(Launcher("start ipp").c_str()) != 0)
            throw std::runtime_error("the test IPP printer did not start");
        std::ifstream(folder_ / "port") >> port_;
    }
    ~IppTestPrinter()
    {
        if (std::system(Launcher("stop").c_str()) != 0)
            ADD_FAILURE() << "the test IPP printer did not stop";
        std::filesystem::remove_all(folder_);
    }

    std::string uri() const { return "ipp://127.0.0.1:" + port_ + "/ipp/print"; }
    int port() const { return std::stoi(port_); }

private:
    std::string Launcher(const std::string& command) const
    {
        return "'" RAWLET_SOURCE_DIR "/scripts/lib/fake-printer' " + command + " '" + folder_.string() +
               "' >/dev/null";
    }

    std::filesystem::path folder_;
    std::string port_;
};

// A receipt printed to `name` through the control, its document ended and handed over.
void PrintReceipt(posix::PosixPlatform& system, const std::string& name)
{
    Rawlet control(system.Services());
    control.SetPrinterName(name);
    control.SetPrinterData("receipt");
    control.PrinterClose();
}

// Waiting for a job the printer holds lasts until the program gives up on it: the state is
// heard meanwhile, and abandoning the documents ends the wait at once, as an interruption
// does, and cancels the job where the printer can.
TEST(DirectControlTest, AbandoningEndsTheWaitForAHeldIppJob)
{
    IppTestPrinter printer("held");
    posix::PosixPlatform system(kCodePages);
    ASSERT_TRUE(system.AddDirectPrinter("Held", printer.uri()));
    PrintReceipt(system, "Held");
    platform::SpoolerReports& reports = *system.Services().reports;
    std::promise<std::string> firstState;
    std::once_flag heard;
    reports.WatchJobStates(
        [&](const std::string& line) { std::call_once(heard, [&] { firstState.set_value(line); }); });
    reports.SetPrintingWait({true, {}});
    auto waiting = std::async(std::launch::async, [&] { return reports.JobOutcomes(); });
    auto state = firstState.get_future();
    ASSERT_EQ(state.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_THAT(state.get(), HasSubstr("held"));
    reports.AbandonDocuments();
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    // The printer cannot cancel a job: the job may still print.
    EXPECT_THAT(
        waiting.get(),
        ElementsAre(AllOf(Field(&platform::DocumentOutcome::outcome, Outcome::unknown),
                          Field(&platform::DocumentOutcome::reason,
                                HasSubstr("interrupted; it could not be cancelled and may still print")))));
    reports.WatchJobStates(nullptr);
}

// An abandonment that comes after the document's end, before the wait for its job begins
// (a cancel as Finish moves from one to the other), ends that wait too.
TEST(DirectControlTest, AbandoningBeforeTheWaitBeginsEndsIt)
{
    IppTestPrinter printer("held");
    posix::PosixPlatform system(kCodePages);
    ASSERT_TRUE(system.AddDirectPrinter("Held", printer.uri()));
    PrintReceipt(system, "Held");
    platform::SpoolerReports& reports = *system.Services().reports;
    reports.SetPrintingWait({true, {}});
    reports.AbandonDocuments();
    auto waiting = std::async(std::launch::async, [&] { return reports.JobOutcomes(); });
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the wait went on";
    EXPECT_THAT(waiting.get(), ElementsAre(Field(&platform::DocumentOutcome::outcome, Outcome::unknown)));
}

// The descriptor of this process that is connected to `port` on the loopback; -1 if none.
int ConnectionTo(int port)
{
    std::unique_ptr<DIR, int (*)(DIR*)> descriptors(::opendir("/proc/self/fd"), ::closedir);
    while (const dirent* entry = descriptors ? ::readdir(descriptors.get()) : nullptr) {
        const int fd = std::atoi(entry->d_name);
        sockaddr_in peer{};
        socklen_t size = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0 && peer.sin_family == AF_INET &&
            ntohs(peer.sin_port) == port)
            return fd;
    }
    return -1;
}

// Once libcups has let go of its connection (it reconnects inside some requests), the number
// it held may be another thread's socket: interrupting the printer must not shut that one.
TEST(DirectControlTest, InterruptingAnIppPrinterLeavesASocketThatTookItsNumberAlone)
{
    IppTestPrinter printer("");
    direct::IppDevice device(direct::ParseDeviceUri(printer.uri()));
    ASSERT_TRUE(device.Connect());
    const int libcupsConnection = ConnectionTo(printer.port());
    ASSERT_GE(libcupsConnection, 0);
    int other[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, other), 0);
    ASSERT_EQ(::dup2(other[0], libcupsConnection), libcupsConnection); // the number reused

    device.Interrupt();

    pollfd peer{other[1], POLLIN, 0};
    EXPECT_EQ(::poll(&peer, 1, 100), 0) << "the other socket was shut down";
    ::close(other[0]);
    ::close(other[1]);
}

} // namespace
} // namespace rawlet::testing
