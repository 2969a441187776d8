// Thousands of random member sequences against a spooler that fails at random, checking
// after every step what must always hold: the control is either Closed or Printing, no call
// reaches a closed handle, and a write reported as done delivered every one of its bytes.
#include <random>

#include "control_fixture.h"

namespace rawlet::testing {
namespace {

class RandomSequenceTest : public ControlTest {
protected:
    std::mt19937 random{20261208};

    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); }

    std::string RandomText()
    {
        std::string text(static_cast<std::size_t>(Below(40)), '\0');
        for (char& c : text)
            c = static_cast<char>(Below(256));
        return text;
    }

    std::string RandomName()
    {
        const auto& typed = fake::kTypedPrinterNames;
        const auto pick = static_cast<std::size_t>(Below(static_cast<int>(typed.size()) + 1));
        return pick < typed.size() ? std::string(typed[pick]) : RandomText();
    }

    void RandomSpoolerFaults()
    {
        static const char* const kOperations[] = {"OpenPrinterA", "StartDocPrinterA", "StartPagePrinter",
                                                  "WritePrinter", "EndPagePrinter",   "EndDocPrinter",
                                                  "ClosePrinter"};
        fake.spooler.failing.clear();
        for (const char* operation : kOperations)
            if (Below(12) == 0)
                fake.spooler.failing.insert(operation);
        fake.spooler.writeLimit = Below(3) == 0 ? std::optional<std::size_t>(Below(8)) : std::nullopt;
    }

    // A data write that returned without error must have put all its bytes, translated as
    // asked, at the end of what the thread's printer received.
    void CheckedWrite(Rawlet& instance)
    {
        const std::string text = RandomText();
        const std::string before = StateOf(instance).printerData;
        try {
            instance.SetPrinterData(text);
        } catch (const Error& error) {
            EXPECT_EQ(StateOf(instance).printerData, before) << error.description();
            return;
        }
        std::string expected = text;
        if (instance.PrinterTranslate())
            fake.codePage.CharToOemBuffA(text, expected.data());
        const std::string received = fake.spooler.ReceivedOn(SlotHandle());
        ASSERT_GE(received.size(), expected.size());
        EXPECT_EQ(received.substr(received.size() - expected.size()), expected);
        EXPECT_EQ(StateOf(instance).printerData, text);
    }

    void RandomStep(Rawlet& instance)
    {
        try {
            switch (Below(12)) {
            case 0:
                instance.SetPrinterName(RandomName());
                break;
            case 1:
                instance.SetPrinterDocumentName(RandomText());
                break;
            case 2:
                instance.SetPrinterTranslate(Below(2) == 1);
                break;
            case 3:
                instance.StartDoc();
                break;
            case 4:
                instance.EndPage();
                break;
            case 5:
                instance.EndDoc();
                break;
            case 6:
                instance.PrinterClose();
                break;
            case 7:
                instance.killDocument();
                break;
            case 8:
                fake.host.userMode = Below(4) != 0;
                break;
            default:
                CheckedWrite(instance);
                break;
            }
        } catch (const Error&) {
            // Raised errors are part of the game; the invariants below still hold.
        }
    }
};

TEST_F(RandomSequenceTest, InvariantsHoldAcrossRandomMemberSequences)
{
    constexpr int kSequences = 2000;
    constexpr int kSteps = 30;
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        RandomSpoolerFaults();
        Rawlet second(fake.Services()); // a neighbour on the same thread, sharing the handle
        for (int step = 0; step < kSteps; ++step) {
            Rawlet& instance = Below(4) == 0 ? second : control;
            RandomStep(instance);
            if (Below(5) == 0)
                RandomSpoolerFaults();
            ASSERT_EQ(StateOf(control).queueOpen, StateOf(control).documentStarted);
            ASSERT_EQ(StateOf(second).queueOpen, StateOf(second).documentStarted);
            ASSERT_EQ(fake.spooler.callsOnClosedHandles, 0) << "sequence " << sequence << " step " << step;
        }
    }
}

} // namespace
} // namespace rawlet::testing
