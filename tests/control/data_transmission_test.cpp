// PrinterData: opening on demand, translation, the write and its failures.
#include "control_fixture.h"

namespace rawlet::testing {
namespace {

using DataTest = ControlTest;

TEST_F(DataTest, FirstWriteOpensAndWritesAndLaterWritesJoinTheSameDocument)
{
    SelectPrinter(control);
    control.SetPrinterData("Hello, ");
    control.SetPrinterData("world\r\n");

    ASSERT_EQ(fake.spooler.jobs.size(), 1u);
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "Hello, world\r\n");
    EXPECT_EQ(control.PrinterData(), "world\r\n");
    EXPECT_THAT(fake.host.changes, ElementsAre("PrinterData", "PrinterData"));
}

TEST_F(DataTest, EveryByteValueArrivesUnchangedWithTranslationOff)
{
    StartPrinting(control);
    control.SetPrinterData(EveryByteValue());
    EXPECT_EQ(fake.spooler.jobs[0].bytes, EveryByteValue());
}

TEST_F(DataTest, TranslationTurnsAnsiIntoOem)
{
    StartPrinting(control);
    control.SetPrinterData("\xE9");
    control.SetPrinterTranslate(true);
    control.SetPrinterData("\xE9");
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "\xE9\x82");
    EXPECT_EQ(control.PrinterData(), "\xE9"); // the text as given, not as translated
}

// The whole text is translated and counted, NUL bytes included.
TEST_F(DataTest, TranslationAndByteCountCoverTextPastANul)
{
    StartPrinting(control);
    control.SetPrinterTranslate(true);
    const std::string text("\xE9\0\xE9\xFC", 4);
    control.SetPrinterData(text);
    EXPECT_EQ(fake.spooler.jobs[0].bytes, std::string("\x82\0\x82\x81", 4));
}

TEST_F(DataTest, ShortWritesAreRepeatedUntilEveryByteIsTaken)
{
    StartPrinting(control);
    fake.spooler.writeLimit = 4;
    control.SetPrinterData("0123456789");
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "0123456789");
    EXPECT_THAT(fake.spooler.trace, ElementsAre("WritePrinter(1, 10 bytes)", "WritePrinter(1, 6 bytes)",
                                                "WritePrinter(1, 2 bytes)"));
}

TEST_F(DataTest, WriteThatTakesNothingIsAFailureNotALoop)
{
    StartPrinting(control);
    control.SetPrinterData("before");
    fake.spooler.writeLimit = 0;
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("lost"); }),
              ErrorFields(32037, "Rawleter", "error occur while write data to the printer"));
    EXPECT_EQ(control.PrinterData(), "before");
}

TEST_F(DataTest, FailedWriteKeepsStateAndPreviousDataAndNotifiesNothing)
{
    StartPrinting(control);
    control.SetPrinterData("kept");
    fake.host.changes.clear();

    EXPECT_EQ(ErrorWhenSpoolerFails("WritePrinter", [&] { control.SetPrinterData("lost"); }),
              ErrorFields(32037, "Rawleter", "error occur while write data to the printer"));
    EXPECT_TRUE(IsPrinting(control));
    EXPECT_EQ(control.PrinterData(), "kept");
    EXPECT_THAT(fake.host.changes, IsEmpty());
}

TEST_F(DataTest, StoredNameNoLongerInstalledRaises32000BeforeAnySpoolerCall)
{
    control.SetPrinterName("Zebra");
    fake.spooler.trace.clear();
    fake.printers.names = {"Receipts"};
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("x"); }),
              ErrorFields(32000, "Rawleter", "Printer name is not valid"));
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(DataTest, ReadingGivesTheLastTextOnlyWhileTheQueueIsOpen)
{
    const std::vector<std::function<void()>> closers = {
        [&] { control.PrinterClose(); }, [&] { control.EndDoc(); }, [&] { control.SetPrinterName("Zebra"); }};
    for (const auto& close : closers) {
        StartPrinting(control);
        control.SetPrinterData("last");
        close();
        EXPECT_EQ(control.PrinterData(), "");
        EXPECT_EQ(StateOf(control).printerData, "last");
    }
}

TEST_F(DataTest, WithoutANameAndNoPrinterOnTheThreadTheWriteFails)
{
    const auto writeFailed = ErrorFields(32037, "Rawleter", "error occur while write data to the printer");
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("x"); }), writeFailed);
    EXPECT_THAT(fake.spooler.trace,
                ElementsAre("StartDocPrinterA(0, <absent>) failed", "StartPagePrinter(0) failed",
                            "WritePrinter(0, 1 bytes) failed"));

    // Likewise once the last printer opened on the thread has been closed.
    Rawlet other(fake.Services());
    StartPrinting(other);
    other.PrinterClose();
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("x"); }), writeFailed);
    EXPECT_EQ(fake.spooler.callsOnClosedHandles, 0);
}

TEST_F(DataTest, WithoutANameTheWriteGoesToTheThreadsPrinter)
{
    Rawlet other(fake.Services());
    StartPrinting(other, "Zebra");
    control.SetPrinterData("borrowed");
    EXPECT_EQ(fake.spooler.jobs[0].printer, "Zebra");
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "borrowed");
    EXPECT_TRUE(IsClosed(control));
}

} // namespace
} // namespace rawlet::testing
