// A libFuzzer target: the fuzzer's input becomes a sequence of members called on two control
// instances sharing a thread, over the fake platform with faults switched on and off at
// random. After every step the rules the control promises must hold, else the run aborts:
// - each instance is Closed or Printing (queueOpen == documentStarted);
// - no spooler call reaches a handle after it was closed;
// - a data write that returned without error put all its bytes, translated as asked, at
//   the end of what the thread's printer received.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fuzzer/FuzzedDataProvider.h>

#include <rawlet/rawlet.h>

#include "fake_platform.h"
#include "printer_queue.h"
#include "rawlet_test_peer.h"

namespace {

using namespace rawlet;

[[noreturn]] void Broken(const char* rule)
{
    std::fprintf(stderr, "control fuzzer: broken rule: %s\n", rule);
    std::abort();
}

const char* const kSpoolerOperations[] = {"OpenPrinterA", "StartDocPrinterA", "StartPagePrinter",
                                          "WritePrinter", "EndPagePrinter",   "EndDocPrinter",
                                          "ClosePrinter"};

enum class Step {
    SetPrinterName,
    SetPrinterDocumentName,
    SetPrinterTranslate,
    SetPrinterData,
    ReadPrinterData,
    StartDoc,
    EndPage,
    EndDoc,
    PrinterClose,
    KillDocument,
    About,
    Initialise,
    Load,
    Save,
    Resize,
    SwitchUserMode,
    ToggleSpoolerFault,
    LimitWrites,
    ReplaceInstance,
    kMaxValue = ReplaceInstance // FuzzedDataProvider::ConsumeEnum needs this
};

class Session {
public:
    explicit Session(FuzzedDataProvider& input) : input_(input)
    {
        // The slot is per thread and outlives one input: every input starts with none.
        SpoolerSlot::ForThisThread().handle = 0;
        fake_.printers.names = {"Epson LQ-300", "Receipts", "Zebra"};
        for (auto& instance : instances_)
            instance = std::make_unique<ContainedRawlet>(fake_.Services());
    }

    void Run()
    {
        while (input_.remaining_bytes() > 0) {
            const std::size_t which = input_.ConsumeBool() ? 1 : 0;
            try {
                Perform(input_.ConsumeEnum<Step>(), which);
            } catch (const Error&) {
                // Raised errors end the member; the rules still hold afterwards.
            }
            CheckRules();
        }
        // Releasing the instances may close the queue: that too must not touch a closed handle.
        for (auto& instance : instances_)
            instance.reset();
        if (fake_.spooler.callsOnClosedHandles != 0)
            Broken("a call reached a closed handle while releasing an instance");
    }

private:
    std::string Text() { return input_.ConsumeRandomLengthString(256); }

    std::string PrinterName()
    {
        const auto& typed = rawlet::fake::kTypedPrinterNames;
        const auto pick = input_.ConsumeIntegralInRange<std::size_t>(0, typed.size());
        return pick < typed.size() ? std::string(typed[pick]) : Text();
    }

    void Perform(Step step, std::size_t which)
    {
        ContainedRawlet& instance = *instances_[which];
        switch (step) {
        case Step::SetPrinterName:
            return instance.SetPrinterName(PrinterName());
        case Step::SetPrinterDocumentName:
            return instance.SetPrinterDocumentName(Text());
        case Step::SetPrinterTranslate:
            return instance.SetPrinterTranslate(input_.ConsumeBool());
        case Step::SetPrinterData:
            return CheckedWrite(instance, Text());
        case Step::ReadPrinterData:
            if (!rawlet::StateOf(instance).queueOpen && !instance.PrinterData().empty())
                Broken("a closed control returned data");
            return;
        case Step::StartDoc:
            return instance.StartDoc();
        case Step::EndPage:
            return instance.EndPage();
        case Step::EndDoc:
            return instance.EndDoc();
        case Step::PrinterClose:
            return instance.PrinterClose();
        case Step::KillDocument:
            return instance.killDocument();
        case Step::About:
            return instance.About();
        case Step::Initialise:
            return instance.Initialise();
        case Step::Load:
            return LoadRandomBag(instance);
        case Step::Save: {
            fake::FakePropertyBag bag;
            return instance.Save(bag);
        }
        case Step::Resize:
            return instance.Resize();
        case Step::SwitchUserMode:
            fake_.host.userMode = input_.ConsumeBool();
            return;
        case Step::ToggleSpoolerFault:
            return ToggleFault(input_.PickValueInArray(kSpoolerOperations));
        case Step::LimitWrites:
            fake_.spooler.writeLimit = input_.ConsumeBool()
                                           ? std::optional<std::size_t>(input_.ConsumeIntegralInRange(0, 8))
                                           : std::nullopt;
            return;
        case Step::ReplaceInstance:
            instances_[which].reset(); // the old one goes first, as when a form unloads
            instances_[which] = std::make_unique<ContainedRawlet>(fake_.Services());
            return;
        }
    }

    void ToggleFault(const char* operation)
    {
        auto& failing = fake_.spooler.failing;
        if (!failing.erase(operation))
            failing.insert(operation);
    }

    // A bag whose keys are present, absent or unreadable at random.
    void LoadRandomBag(ContainedRawlet& instance)
    {
        fake::FakePropertyBag bag;
        for (const char* key : {"PrinterName", "PrinterData", "PrinterDocumentName"}) {
            switch (input_.ConsumeIntegralInRange(0, 2)) {
            case 0:
                bag.values[key] = Text();
                break;
            case 1:
                bag.values[key] = std::monostate{};
                break;
            default:
                break;
            }
        }
        if (input_.ConsumeBool())
            bag.values["LocaleTranslate"] = input_.ConsumeBool();
        instance.Load(bag);
    }

    void CheckedWrite(ContainedRawlet& instance, const std::string& text)
    {
        instance.SetPrinterData(text); // throws on failure: then nothing is claimed
        std::string expected = text;
        if (instance.PrinterTranslate())
            fake_.codePage.CharToOemBuffA(text, expected.data());
        const std::string received = fake_.spooler.ReceivedOn(SpoolerSlot::ForThisThread().handle);
        if (received.size() < expected.size() ||
            received.compare(received.size() - expected.size(), expected.size(), expected) != 0)
            Broken("a write reported as done did not deliver its bytes");
        if (rawlet::StateOf(instance).printerData != text)
            Broken("PrinterData does not hold the text written");
    }

    void CheckRules() const
    {
        for (const auto& instance : instances_)
            if (rawlet::StateOf(*instance).queueOpen != rawlet::StateOf(*instance).documentStarted)
                Broken("queueOpen != documentStarted");
        if (fake_.spooler.callsOnClosedHandles != 0)
            Broken("a call reached a closed handle");
    }

    FuzzedDataProvider& input_;
    fake::FakePlatform fake_;
    std::unique_ptr<ContainedRawlet> instances_[2];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Session(input).Run();
    return 0;
}
