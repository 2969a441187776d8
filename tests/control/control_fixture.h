#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <rawlet/rawlet.h>

#include "fake_platform.h"
#include "printer_queue.h"
#include "rawlet_test_peer.h"
#include "test_support.h"

namespace rawlet::testing {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ControlTest : public ::testing::Test {
protected:
    ControlTest()
    {
        SpoolerSlot::ForThisThread().handle = 0; // each test starts on a thread with no printer
        fake.printers.names = {"Epson LQ-300", "Receipts", "Zebra"};
    }

    // A control with `printer` chosen, and the trace cleared.
    void SelectPrinter(Rawlet& instance, std::string_view printer = "Receipts")
    {
        instance.SetPrinterName(printer);
        ClearTrace();
    }

    // The state a control is in while printing on `printer`, with the trace cleared.
    void StartPrinting(Rawlet& instance, std::string_view printer = "Receipts")
    {
        instance.SetPrinterName(printer);
        instance.SetPrinterData("");
        ClearTrace();
    }

    // Forgets the spooler calls and notifications so far: a test sees only those that follow.
    void ClearTrace()
    {
        fake.spooler.trace.clear();
        fake.host.changes.clear();
    }

    bool IsPrinting(const Rawlet& instance) const
    {
        return StateOf(instance).queueOpen && StateOf(instance).documentStarted;
    }
    bool IsClosed(const Rawlet& instance) const
    {
        return !StateOf(instance).queueOpen && !StateOf(instance).documentStarted;
    }
    platform::PrinterHandle SlotHandle() const { return SpoolerSlot::ForThisThread().handle; }

    // Makes the spooler's `operation` fail from now on, and gives the error `member` then raises.
    std::optional<ErrorFields> ErrorWhenSpoolerFails(const std::string& operation,
                                                     const std::function<void()>& member)
    {
        fake.spooler.failing.insert(operation);
        return ErrorFrom(member);
    }

    fake::FakePlatform fake;
    ContainedRawlet control{fake.Services()};
};

} // namespace rawlet::testing
