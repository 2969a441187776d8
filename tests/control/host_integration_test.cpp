// Initialise, Load, Save and Resize.
#include "control_fixture.h"

namespace rawlet::testing {
namespace {

using HostTest = ControlTest;

fake::FakePropertyBag SavedBag()
{
    fake::FakePropertyBag bag;
    bag.values = {{"PrinterName", std::string("Receipts")},
                  {"PrinterData", std::string("saved text")},
                  {"LocaleTranslate", true},
                  {"PrinterDocumentName", std::string("Saved doc")}};
    return bag;
}

TEST_F(HostTest, InitialiseSetsTheDefaults)
{
    StartPrinting(control);
    control.SetPrinterTranslate(true);
    control.Initialise();
    EXPECT_EQ(control.PrinterName(), "");
    EXPECT_EQ(StateOf(control).printerData, "");
    EXPECT_EQ(control.PrinterDocumentName(), "");
    EXPECT_FALSE(control.PrinterTranslate());
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(HostTest, LoadTakesTheSavedValuesAndDoesNothingElse)
{
    control.SetPrinterDocumentName("before");
    fake.host.changes.clear();
    auto bag = SavedBag();
    control.Load(bag);

    EXPECT_EQ(control.PrinterName(), "Receipts");
    EXPECT_EQ(StateOf(control).printerData, "saved text");
    EXPECT_TRUE(control.PrinterTranslate());
    EXPECT_EQ(control.PrinterDocumentName(), "Saved doc");
    EXPECT_EQ(StateOf(control).docInfo.docName, "before");
    EXPECT_THAT(fake.spooler.trace, IsEmpty());
    EXPECT_THAT(fake.host.changes, IsEmpty());
    EXPECT_TRUE(IsClosed(control));
}

TEST_F(HostTest, LoadDefaultsAbsentKeysAndSkipsUnreadableOnes)
{
    StartPrinting(control);
    control.SetPrinterTranslate(true);
    fake::FakePropertyBag bag;
    bag.values = {{"PrinterName", std::monostate{}}, {"PrinterDocumentName", std::string("Doc")}};
    control.Load(bag);
    EXPECT_EQ(control.PrinterName(), "Receipts");
    EXPECT_EQ(StateOf(control).printerData, "");
    EXPECT_FALSE(control.PrinterTranslate());
    EXPECT_EQ(control.PrinterDocumentName(), "Doc");
}

TEST_F(HostTest, PrinterLoadedButNoLongerInstalledFailsAtTheFirstWrite)
{
    fake::FakePropertyBag bag;
    bag.values["PrinterName"] = std::string("Gone");
    control.Load(bag);
    EXPECT_EQ(control.PrinterName(), "Gone");
    EXPECT_EQ(ErrorFrom([&] { control.SetPrinterData("x"); }),
              ErrorFields(32000, "Rawleter", "Printer name is not valid"));
}

TEST_F(HostTest, LoadedTranslationAppliesToTheFirstWriteAndTheSavedDataIsNeverPrinted)
{
    auto bag = SavedBag();
    control.Load(bag);
    control.SetPrinterData("\xE9t\xE9");
    ASSERT_EQ(fake.spooler.jobs.size(), 1u);
    EXPECT_EQ(fake.spooler.jobs[0].bytes, "\x82t\x82");
    EXPECT_EQ(fake.spooler.jobs[0].docInfo.docName, "Saved doc");
}

TEST_F(HostTest, SaveWritesTheFourKeysThatLoadReads)
{
    control.SetPrinterName("Zebra");
    control.SetPrinterTranslate(true);
    control.SetPrinterDocumentName("Labels");
    control.SetPrinterData("^XA^XZ");
    fake::FakePropertyBag bag;
    control.Save(bag);
    EXPECT_EQ(bag.values.size(), 4u);

    ContainedRawlet restored(fake.Services());
    restored.Load(bag);
    EXPECT_EQ(restored.PrinterName(), "Zebra");
    EXPECT_TRUE(restored.PrinterTranslate());
    EXPECT_EQ(restored.PrinterDocumentName(), "Labels");
    EXPECT_EQ(StateOf(restored).printerData, "^XA^XZ");
}

TEST_F(HostTest, ResizeSnapsTheControlToItsIcon)
{
    EXPECT_EQ(control.Image1(), (Rect{240, 120, 540, 480}));
    control.Resize();
    EXPECT_EQ(control.Image1(), (Rect{0, 0, 540, 480}));
    EXPECT_THAT(fake.host.sizes, ElementsAre(std::pair(540, 480)));
}

} // namespace
} // namespace rawlet::testing
