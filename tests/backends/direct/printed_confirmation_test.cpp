// A receipt printer's own word that it printed a job, through the front door: the result says
// printed, or only delivered for a printer that never answers, and a cancel ends the wait.
#include <future>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "loopback_printer.h"
#include <rawlet/printer.h>
#include <rawlet/system.h>

namespace rawlet::testing {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kReceipt = "Total 23,30\r\n\x1dV\x01";

// A fake receipt printer in `mode`, asked in ESC/POS, whose silence ends a wait after 1 s.
class ReceiptPrinter {
public:
    explicit ReceiptPrinter(const std::string& mode) : printer_(mode, folder_.path()) {}
    std::string uri() const
    {
        return "socket://127.0.0.1:" + std::to_string(printer_.port()) + "?snmp=off+status=escpos+timeout=1";
    }

private:
    TemporaryFolder folder_;
    FakePrinter printer_;
};

JobOptions Waiting()
{
    JobOptions options;
    options.wait = true;
    return options;
}

TEST(PrintedConfirmation, ThePrintersWordMakesTheJobPrinted)
{
    const ReceiptPrinter receipts("escpos-prints:0.5");
    System system;
    Printer printer(system, receipts.uri(), Waiting());
    printer.Write(kReceipt);
    const JobResult result = printer.Finish();
    EXPECT_EQ(result.outcome, Outcome::printed);
    EXPECT_EQ(result.job, receipts.uri());
    EXPECT_EQ(result.bytes, kReceipt.size());
}

// A limit longer than any clock counts is a wait as long as it takes, not one already over.
TEST(PrintedConfirmation, AFarLimitWaitsForThePrintersWord)
{
    const ReceiptPrinter receipts("escpos-prints:0.5");
    System system;
    JobOptions options = Waiting();
    options.waitLimit = std::chrono::milliseconds::max();
    Printer printer(system, receipts.uri(), options);
    printer.Write(kReceipt);
    EXPECT_EQ(printer.Finish().outcome, Outcome::printed);
}

TEST(PrintedConfirmation, APrinterThatNeverAnswersLeavesTheJobDelivered)
{
    const ReceiptPrinter mute("normal");
    System system;
    Printer printer(system, mute.uri(), Waiting());
    printer.Write(kReceipt);
    const auto started = Clock::now();
    EXPECT_EQ(printer.Finish().outcome, Outcome::delivered);
    EXPECT_LT(Clock::now() - started, 3s);
}

TEST(PrintedConfirmation, ACancelEndsTheWaitAndSaysThePrinterHadTheWholeJob)
{
    const ReceiptPrinter slow("escpos-prints:60");
    System system;
    Printer printer(system, slow.uri(), Waiting());
    printer.Write(kReceipt);
    auto finishing = std::async(std::launch::async, [&] { return printer.Finish(); });
    ASSERT_EQ(finishing.wait_for(1s), std::future_status::timeout);
    printer.Cancel();
    ASSERT_EQ(finishing.wait_for(2s), std::future_status::ready);
    try {
        finishing.get();
        FAIL() << "reported printed or delivered";
    } catch (const OutcomeUnknown& error) {
        EXPECT_EQ(error.job(), slow.uri());
        EXPECT_THAT(error.reason(), HasSubstr(": interrupted: the printer had acknowledged 16 of 16 bytes"));
    }
}

// A printer that stopped before it said it had printed the job may still print it: a program
// that asks again, as one does before it retries, hears the same, never that it did not print.
TEST(PrintedConfirmation, AStopBeforeThePrintersWordLeavesTheJobUnknownAtEveryFinish)
{
    const ReceiptPrinter stopped("escpos-paper-end:0");
    System system;
    Printer printer(system, stopped.uri(), Waiting());
    printer.Write(kReceipt);
    for (int finish = 1; finish <= 2; ++finish) {
        try {
            printer.Finish();
            FAIL() << "finish " << finish << " reported printed or delivered";
        } catch (const OutcomeUnknown& error) {
            EXPECT_EQ(error.job(), stopped.uri()) << "finish " << finish;
            EXPECT_THAT(error.reason(), HasSubstr("paper end")) << "finish " << finish;
        } catch (const Error& error) {
            ADD_FAILURE() << "finish " << finish << " said: " << error.what();
        }
    }
}

} // namespace
} // namespace rawlet::testing
