// A printer's own word that it has printed a job, asked after the job's bytes, against
// loopback printers that print for a while, run out of paper, or never answer.
#include <gtest/gtest.h>

#include <thread>

#include "loopback_printer.h"
#include "posix_transports.h"
#include "status_sources.h"

namespace rawlet::direct {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackPrinter;
using Word = PrintingConfirmation::Word;

constexpr auto kLeeway = 500ms;

struct Asked {
    PrintingConfirmation confirmation;
    Clock::duration took;
};

// Sends `job` to a fake printer in `mode` ("escpos-prints:1", ...), then asks it as `confirm`
// does, for at most `wait` and `silence`.
template <class Confirm>
Asked AskAfterJob(Confirm confirm, const std::string& mode, std::string_view job, Clock::duration wait = 10s,
                  Clock::duration silence = 5s, const Interrupter& interrupter = Interrupter())
{
    const LoopbackPrinter printer(mode);
    const UniqueFd connection = printer.Connect();
    EXPECT_TRUE(DescriptorChannel(connection.get()).Send(job, Clock::now() + 5s));
    DescriptorChannel channel(connection.get(), &interrupter);
    const auto started = Clock::now();
    PrintingConfirmation confirmation = confirm(channel, started + wait, silence);
    return {std::move(confirmation), Clock::now() - started};
}

constexpr std::string_view kReceipt = "Total 23,30\r\n\x1dV\x01";
constexpr std::string_view kLabels = "^XA^FDone^FS^XZ^XA^FDtwo^FS^XZ";

TEST(EscPosConfirmation, APrinterConfirmsOnceItHasPrinted)
{
    const Asked asked = AskAfterJob(ConfirmEscPos, "escpos-prints:1", kReceipt);
    EXPECT_EQ(asked.confirmation.word, Word::Printed);
    EXPECT_GE(asked.took, 1s);
    EXPECT_LT(asked.took, 1s + kLeeway);
}

TEST(EscPosConfirmation, PaperEndStopsTheJobWithItsReason)
{
    const Asked asked = AskAfterJob(ConfirmEscPos, "escpos-paper-end:0.5", kReceipt);
    EXPECT_EQ(asked.confirmation.word, Word::Stopped);
    EXPECT_EQ(asked.confirmation.reason, "paper end");
    EXPECT_LT(asked.took, 0.5s + kLeeway);
}

TEST(EscPosConfirmation, APrinterThatNeverAnswersCannotTellBeforeItsSilenceEnds)
{
    const Asked asked = AskAfterJob(ConfirmEscPos, "normal", kReceipt, 10s, 1s);
    EXPECT_EQ(asked.confirmation.word, Word::NoAnswer);
    EXPECT_LT(asked.took, 1s + kLeeway);
}

TEST(EscPosConfirmation, APrinterStillPrintingAtTheEndOfTheWaitHasNotConfirmed)
{
    const Asked asked = AskAfterJob(ConfirmEscPos, "escpos-prints:5", kReceipt, 1s, 1s);
    EXPECT_EQ(asked.confirmation.word, Word::StillPrinting);
    EXPECT_LT(asked.took, 1s + kLeeway);
}

TEST(EscPosConfirmation, AnInterruptionEndsTheWaitAtOnce)
{
    Interrupter interrupter;
    std::jthread interrupting([&] {
        std::this_thread::sleep_for(300ms);
        interrupter.Interrupt();
    });
    const Asked asked = AskAfterJob(ConfirmEscPos, "escpos-prints:5", kReceipt, 10s, 5s, interrupter);
    EXPECT_EQ(asked.confirmation.word, Word::Interrupted);
    EXPECT_LT(asked.took, 300ms + kLeeway);
}

TEST(ZplConfirmation, APrinterConfirmsOnceNoFormatWaitsAndNoLabelIsLeft)
{
    const Asked asked = AskAfterJob(ConfirmZpl, "zpl-prints:1", kLabels);
    EXPECT_EQ(asked.confirmation.word, Word::Printed);
    EXPECT_GE(asked.took, 1s);
    EXPECT_LT(asked.took, 1s + kLeeway);
}

TEST(ZplConfirmation, PaperOutStopsTheJobWithItsReason)
{
    const Asked asked = AskAfterJob(ConfirmZpl, "zpl-paper-out:0.5", kLabels);
    EXPECT_EQ(asked.confirmation.word, Word::Stopped);
    EXPECT_EQ(asked.confirmation.reason, "paper out");
}

TEST(ZplConfirmation, APrinterThatNeverAnswersCannotTellBeforeItsSilenceEnds)
{
    const Asked asked = AskAfterJob(ConfirmZpl, "normal", kLabels, 10s, 1s);
    EXPECT_EQ(asked.confirmation.word, Word::NoAnswer);
    EXPECT_LT(asked.took, 1s + kLeeway);
}

} // namespace
} // namespace rawlet::direct
