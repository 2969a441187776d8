// PrinterName, PrinterDocumentName and PrinterTranslate.
#include "control_fixture.h"

namespace rawlet::testing {
namespace {

using SelectionTest = ControlTest;

TEST_F(SelectionTest, NameInOtherLetterCaseIsStoredAsTheSystemSpellsIt)
{
    control.SetPrinterName("rECEIPTS");
    EXPECT_EQ(control.PrinterName(), "Receipts");
    EXPECT_THAT(fake.host.changes, ElementsAre("PrinterName"));
    // Nothing was open: the end and close calls reach no printer.
    EXPECT_THAT(fake.spooler.trace,
                ElementsAre("EndPagePrinter(0) failed", "EndDocPrinter(0) failed", "ClosePrinter(0) failed"));
}

TEST_F(SelectionTest, NonAsciiLettersMatchWithoutRegardToCase)
{
    fake.printers.names = {"Caf\xC9"};
    control.SetPrinterName("caf\xE9");
    EXPECT_EQ(control.PrinterName(), "Caf\xC9");
}

TEST_F(SelectionTest, FirstMatchInTheSystemsOrderWins)
{
    fake.printers.names = {"Office", "OFFICE"};
    control.SetPrinterName("office");
    EXPECT_EQ(control.PrinterName(), "Office");
}

TEST_F(SelectionTest, SameNameWhilePrintingEndsTheJobAndCloses)
{
    StartPrinting(control);
    control.SetPrinterName("Receipts");
    EXPECT_THAT(fake.spooler.trace, ElementsAre("EndPagePrinter(1)", "EndDocPrinter(1)", "ClosePrinter(1)"));
    EXPECT_TRUE(IsClosed(control));
    EXPECT_TRUE(fake.spooler.jobs[0].ended);
}

TEST_F(SelectionTest, UnknownOrEmptyNameRaises32000AndKeepsTheQueueAndName)
{
    StartPrinting(control);
    for (std::string_view name : {"Nowhere", "", "Receipts "}) {
        EXPECT_EQ(ErrorFrom([&] { control.SetPrinterName(name); }),
                  ErrorFields(32000, "Rawleter", "The printer name is not valid"))
            << name;
    }
    EXPECT_EQ(control.PrinterName(), "Receipts");
    EXPECT_TRUE(IsPrinting(control));
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_THAT(fake.host.changes, IsEmpty());
}

TEST_F(SelectionTest, DocumentNameAndTranslateOnlyStoreAndNotify)
{
    StartPrinting(control);
    control.SetPrinterDocumentName("Label");
    control.SetPrinterTranslate(true);
    EXPECT_EQ(control.PrinterDocumentName(), "Label");
    EXPECT_EQ(StateOf(control).docInfo.docName, "Label");
    EXPECT_TRUE(control.PrinterTranslate());
    EXPECT_THAT(fake.host.changes, ElementsAre("PrinterDocumentName", "PrinterTranslate"));
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_TRUE(IsPrinting(control));
}

} // namespace
} // namespace rawlet::testing
