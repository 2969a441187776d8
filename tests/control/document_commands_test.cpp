// StartDoc, EndPage, EndDoc, killDocument and About.
#include "control_fixture.h"

namespace rawlet::testing {
namespace {

using CommandTest = ControlTest;

TEST_F(CommandTest, StartDocOpensThenStartsAnotherDocumentOnTop)
{
    SelectPrinter(control);
    control.StartDoc();
    EXPECT_THAT(fake.spooler.trace,
                ElementsAre("OpenPrinterA(Receipts) = 1", "StartDocPrinterA(1, \"\")", "StartPagePrinter(1)",
                            "StartDocPrinterA(1, \"\") failed", "StartPagePrinter(1)"));
    EXPECT_TRUE(IsPrinting(control));
}

TEST_F(CommandTest, StartDocThatCannotOpenRaises32036FromRawlet)
{
    control.SetPrinterName("Receipts");
    EXPECT_EQ(ErrorWhenSpoolerFails("OpenPrinterA", [&] { control.StartDoc(); }),
              ErrorFields(32036, "Rawlet", "Error while open the printer queue"));
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(CommandTest, EndPageInADesignerRaises387AndEndsNothing)
{
    StartPrinting(control);
    fake.host.userMode = false;
    EXPECT_EQ(ErrorFrom([&] { control.EndPage(); }), ErrorFields(387, "", ""));
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_TRUE(IsPrinting(control));
}

TEST_F(CommandTest, EndPageWhileClosedRaises32033)
{
    EXPECT_EQ(ErrorFrom([&] { control.EndPage(); }),
              ErrorFields(32033, "Rawleter", "You must first start a document"));
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
}

TEST_F(CommandTest, EndPageEndsThePageAndKeepsPrinting)
{
    StartPrinting(control);
    control.EndPage();
    control.SetPrinterData("page 2");
    EXPECT_THAT(fake.host.changes, ElementsAre("EndPage", "PrinterData"));
    EXPECT_TRUE(IsPrinting(control));
    EXPECT_EQ(fake.spooler.jobs.size(), 1u);
}

TEST_F(CommandTest, EndPageRefusedRaises32032)
{
    StartPrinting(control);
    EXPECT_EQ(ErrorWhenSpoolerFails("EndPagePrinter", [&] { control.EndPage(); }),
              ErrorFields(32032, "Rawleter", "Error occur with  EndPage "));
    EXPECT_THAT(fake.host.changes, IsEmpty());
}

TEST_F(CommandTest, EndDocWhileClosedDoesNothing)
{
    control.EndDoc();
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
}

TEST_F(CommandTest, EndDocEndsTheDocumentWithACarriageReturnAndKeepsTheHandle)
{
    StartPrinting(control);
    control.SetPrinterData("total");
    control.EndDoc();
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "total\r");
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
    EXPECT_TRUE(IsClosed(control));
    EXPECT_TRUE(fake.spooler.IsOpen(1));
    EXPECT_EQ(SlotHandle(), 1u);

    control.SetPrinterData("again");
    ASSERT_EQ(fake.spooler.jobs.size(), 2u);
    EXPECT_EQ(fake.spooler.jobs[1].bytes, "again");
}

TEST_F(CommandTest, EndDocRefusedRaises32034AndStaysPrinting)
{
    StartPrinting(control);
    EXPECT_EQ(ErrorWhenSpoolerFails("EndDocPrinter", [&] { control.EndDoc(); }),
              ErrorFields(32034, "Rawleter", "Error occur with  EndDoc "));
    EXPECT_TRUE(IsPrinting(control));
}

TEST_F(CommandTest, KillDocumentWhilePrintingResetsThePrinterAndCloses)
{
    StartPrinting(control);
    control.SetPrinterData("half a page");
    fake.spooler.trace.clear();
    control.killDocument();
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "half a page\x1B@");
    EXPECT_THAT(fake.spooler.trace, ElementsAre("WritePrinter(1, 2 bytes)", "EndPagePrinter(1)",
                                                "EndDocPrinter(1)", "ClosePrinter(1)"));
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(CommandTest, KillDocumentWhileClosedOnlyWritesToTheThreadsHandle)
{
    control.killDocument();
    EXPECT_THAT(fake.spooler.trace, ElementsAre("WritePrinter(0, 2 bytes) failed"));

    StartPrinting(control);
    control.EndDoc();
    fake.spooler.trace.clear();
    control.killDocument(); // the handle EndDoc left behind has no document to write to
    EXPECT_THAT(fake.spooler.trace, ElementsAre("WritePrinter(1, 2 bytes) failed"));
    EXPECT_EQ(fake.spooler.lastWriteOffered, "\x1B@");
}

TEST_F(CommandTest, AboutShowsTheDialog)
{
    control.About();
    EXPECT_EQ(fake.host.aboutShown, 1);
}

} // namespace
} // namespace rawlet::testing
