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

    // The state a control is in while printing on `printer`, with the trace cleared.
    void StartPrinting(Rawlet& instance, std::string_view printer = "Receipts")
    {
        instance.SetPrinterName(printer);
        instance.SetPrinterData("");
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

    fake::FakePlatform fake;
    ContainedRawlet control{fake.Services()};
};

} // namespace rawlet::testing
