#include <gtest/gtest.h>

#include <redaction.h>

namespace rawlet::bridge {
namespace {

TEST(Redaction, APageHearsWhyButNeverWhere)
{
    EXPECT_EQ(WithoutDevices("Receipts (socket://10.0.0.5:9100): connection refused"),
              "Receipts: connection refused");
    EXPECT_EQ(WithoutDevices("Labels (file:/dev/usb/lp0): no such device"), "Labels: no such device");
    EXPECT_EQ(WithoutDevices("Tags (ipp://10.0.0.7/ipp/print?status=snmp&community=s3cret) stalled"),
              "Tags stalled");
    EXPECT_EQ(WithoutDevices("no answer from serial:/dev/ttyS0?baud=9600 in 5 s"),
              "no answer from the device in 5 s");
    EXPECT_EQ(WithoutDevices("Receipts: out of paper at 12:30"), "Receipts: out of paper at 12:30");
}

} // namespace
} // namespace rawlet::bridge
