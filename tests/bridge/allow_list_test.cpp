#include <sstream>

#include <gtest/gtest.h>

#include <rawlet/codepage/table_code_page.h>

#include <allow_list.h>
#include <listen_address.h>

namespace rawlet::bridge {
namespace {

const codepage::TableCodePage kWestern({1252, 437});

TEST(AllowEntry, AnOriginAloneMayUseEveryPrinter)
{
    const AllowEntry entry = ParseAllowEntry("https://pos.example.com:8443");
    EXPECT_EQ(entry.origin, "https://pos.example.com:8443");
    EXPECT_TRUE(entry.MayUse("Receipts", kWestern));
}

TEST(AllowEntry, NamedPrintersAreTheOnlyOnesLetterCaseFree)
{
    const AllowEntry entry = ParseAllowEntry("https://pos.example.com=Receipts,Labels");
    EXPECT_TRUE(entry.MayUse("receipts", kWestern));
    EXPECT_TRUE(entry.MayUse("Labels", kWestern));
    EXPECT_FALSE(entry.MayUse("Office", kWestern));
}

// As the front door matches names: a job to "caf\xE9" reaches the printer "CAF\xC9".
TEST(AllowEntry, NamesMatchInTheCodePage)
{
    const AllowEntry entry = ParseAllowEntry("https://pos.example.com=CAF\xC9");
    EXPECT_TRUE(entry.MayUse("caf\xE9", kWestern));
    EXPECT_FALSE(entry.MayUse("cafe", kWestern));
}

TEST(AllowEntry, WhatNoBrowserSendsAsAnOriginIsRefused)
{
    for (const char* text : {"pos.example.com", "https://pos.example.com/", "https://pos.example.com/till",
                             "https://POS.example.com", "file:///tmp", "null", "https://", "*",
                             "https://pos.example.com=", "https://pos.example.com=socket://10.0.0.5:9100",
                             "https://pos.example.com=Receipts,,Labels"})
        EXPECT_THROW(ParseAllowEntry(text), BadAllowEntry) << text;
}

TEST(AllowList, FindsExactlyTheOrigin)
{
    AllowList list;
    list.Add(ParseAllowEntry("https://pos.example.com=Receipts"));
    list.Add(ParseAllowEntry("https://pos.example.com=Labels"));
    ASSERT_NE(list.Find("https://pos.example.com"), nullptr);
    EXPECT_TRUE(list.Find("https://pos.example.com")->MayUse("Labels", kWestern));
    EXPECT_TRUE(list.Find("https://pos.example.com")->MayUse("Receipts", kWestern));
    for (const char* other : {"http://pos.example.com", "https://pos.example.com:443",
                              "https://pos.example.co", "https://evil.pos.example.com", "null", ""})
        EXPECT_EQ(list.Find(other), nullptr) << other;
}

TEST(AllowConf, ReadsAllowLinesAndNamesTheBadOnes)
{
    std::istringstream conf("# the shop\n"
                            "allow https://pos.example.com=Receipts\n"
                            "\n"
                            "allow https://pos.example.com/\n"
                            "deny https://evil.example\n"
                            "allow https://labels.example.com extra\n");
    AllowList list;
    std::vector<std::string> problems;
    ReadAllowConf(conf, "bridge.conf", list, problems);
    ASSERT_NE(list.Find("https://pos.example.com"), nullptr);
    EXPECT_EQ(list.Find("https://labels.example.com"), nullptr);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_TRUE(problems[0].starts_with("bridge.conf:4: ")) << problems[0];
    EXPECT_EQ(problems[1], "bridge.conf:5: unknown setting 'deny' (allow ORIGIN[=PRINTER,...])");
    EXPECT_EQ(problems[2], "bridge.conf:6: unexpected text after the origin: 'extra'");
}

TEST(ListenAddress, LoopbackOnly)
{
    EXPECT_EQ(ParseListenAddress("127.0.0.1:9000").addresses, std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(ParseListenAddress("[::1]:9000").addresses, std::vector<std::string>{"::1"});
    const ListenAddress both = ParseListenAddress("localhost:9001");
    EXPECT_EQ(both.addresses, (std::vector<std::string>{"127.0.0.1", "::1"}));
    EXPECT_EQ(both.port, 9001);
    for (const char* text : {"0.0.0.0:9187", "192.168.1.5:9187", "[::]:9187", "127.0.0.2:9187", "localhost",
                             "localhost:0", "localhost:65536", "localhost:91a"})
        EXPECT_THROW(ParseListenAddress(text), std::invalid_argument) << text;
}

} // namespace
} // namespace rawlet::bridge
