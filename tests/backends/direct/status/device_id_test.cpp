// IEEE 1284 device IDs as printers give them, in either spelling of the keys.
#include <gtest/gtest.h>

#include "status_sources.h"

namespace rawlet::direct {
namespace {

TEST(DeviceId, ShortKeys)
{
    const DeviceId id = ParseDeviceId("MFG:Acme;MDL:TM-42;CMD:ESC/POS,STAR;CLS:PRINTER;");
    EXPECT_EQ(id.manufacturer, "Acme");
    EXPECT_EQ(id.model, "TM-42");
    EXPECT_EQ(id.commandSet, "ESC/POS,STAR");
}

TEST(DeviceId, LongKeysInAnyCaseWithBlanksAroundAndAMissingKey)
{
    const DeviceId id = ParseDeviceId("manufacturer: Acme Labels ;Command Set:ZPL;DES:a label printer");
    EXPECT_EQ(id.manufacturer, "Acme Labels");
    EXPECT_EQ(id.model, "");
    EXPECT_EQ(id.commandSet, "ZPL");
}

} // namespace
} // namespace rawlet::direct
