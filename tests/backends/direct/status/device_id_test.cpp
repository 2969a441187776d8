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

// A printer port's reply to the device ID request: what the printer sent, then the zeros the
// rest of the buffer was filled with.
std::string PortReply(std::string_view sent)
{
    std::string reply(sent);
    reply.resize(1024, '\0');
    return reply;
}

constexpr std::string_view kId = "MFG:Acme;MDL:TM-42;CMD:ESC/POS;"; // 31 octets, 33 with the length

TEST(DeviceIdOfPort, LengthInEitherByteOrder)
{
    EXPECT_EQ(DeviceIdOfPortReply(PortReply(std::string{'\0', 33} + std::string(kId))), kId);
    EXPECT_EQ(DeviceIdOfPortReply(PortReply(std::string{33, '\0'} + std::string(kId))), kId);
}

TEST(DeviceIdOfPort, ImplausibleLengthEitherWayLeavesTheTextUpToTheFirstNul)
{
    EXPECT_EQ(DeviceIdOfPortReply(PortReply(kId)), kId); // no length at all
    EXPECT_EQ(DeviceIdOfPortReply(PortReply(std::string{'\0', 5} + std::string(kId))), "");
}

} // namespace
} // namespace rawlet::direct
