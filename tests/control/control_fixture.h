#pragma once

#include <functional>
#include <optional>
#include <tuple>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <rawlet/rawlet.h>

#include "fake_platform.h"
#include "printer_queue.h"
#include "rawlet_test_peer.h"

namespace rawlet::testing {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Number, source and description, for comparing an error in one assertion.
using ErrorFields = std::tuple<int, std::string, std::string>;

inline std::optional<ErrorFields> ErrorFrom(const std::function<void()>& member)
{
    try {
        member();
    } catch (const Error& error) {
        return ErrorFields{error.number(), error.source(), error.description()};
    }
    return std::nullopt;
}

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
