// GetKeyValue against real keys of the prefix's registry.
#include <cstdint>

#include <gtest/gtest.h>

#include "registry.h"
#include "registry_value.h"

namespace rawlet::test {
namespace {

using about::GetKeyValue;

constexpr char kKey[] = "SOFTWARE\\Rawlet tests\\GetKeyValue";

class GetKeyValueTest : public testing::Test {
protected:
    void SetUp() override
    {
        Clean();
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
            ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key_);
        Clean();
    }
    static void Clean()
    {
        AllowAll(HKEY_LOCAL_MACHINE, kKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    }

    void Set(const char* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void SetNumber(const char* name, std::uint32_t number) { Set(name, REG_DWORD, &number, sizeof number); }

    // GetKeyValue's answer and text, starting from text that shows whether it was changed.
    std::pair<bool, std::string> Get(const char* name, const char* key = kKey)
    {
        std::string keyVal = "untouched";
        const bool found = GetKeyValue(HKEY_LOCAL_MACHINE, key, name, keyVal);
        return {found, keyVal};
    }

    HKEY key_ = nullptr;
};

TEST_F(GetKeyValueTest, ReadsTextWithOrWithoutItsTerminatingNul)
{
    Set("terminated", REG_SZ, "C:\\Tools\\info.exe", 18);
    Set("bare", REG_SZ, "bare text", 9);
    EXPECT_EQ(Get("terminated"), std::make_pair(true, std::string("C:\\Tools\\info.exe")));
    EXPECT_EQ(Get("bare"), std::make_pair(true, std::string("bare text")));
}

// A value of length zero is empty text, not a failure.
TEST_F(GetKeyValueTest, ReadsAValueOfLengthZeroAsEmptyText)
{
    Set("empty", REG_SZ, "", 0);
    EXPECT_EQ(Get("empty"), std::make_pair(true, std::string()));
}

// A 32-bit number is read as a little-endian integer and written in decimal.
TEST_F(GetKeyValueTest, ReadsA32BitNumberAsALittleEndianInteger)
{
    SetNumber("mixed", 0x12345678);
    SetNumber("inner zero bytes", 0x00010000);
    SetNumber("low zero byte", 0x00000100);
    SetNumber("all bits", 0xFFFFFFFF);
    SetNumber("zero", 0);
    EXPECT_EQ(Get("mixed"), std::make_pair(true, std::string("305419896")));
    EXPECT_EQ(Get("inner zero bytes"), std::make_pair(true, std::string("65536")));
    EXPECT_EQ(Get("low zero byte"), std::make_pair(true, std::string("256")));
    EXPECT_EQ(Get("all bits"), std::make_pair(true, std::string("4294967295")));
    EXPECT_EQ(Get("zero"), std::make_pair(true, std::string("0")));
}

TEST_F(GetKeyValueTest, LeavesTheTextAsItWasForOtherTypes)
{
    Set("binary", REG_BINARY, "\x01\x02", 2);
    EXPECT_EQ(Get("binary"), std::make_pair(true, std::string("untouched")));
}

TEST_F(GetKeyValueTest, EmptiesTheTextAndFailsWhenKeyOrValueIsMissingOrTooLong)
{
    const std::string longText(1024, 'x'); // 1025 bytes with its NUL
    Set("long", REG_SZ, longText.c_str(), 1025);
    EXPECT_EQ(Get("absent"), std::make_pair(false, std::string()));
    EXPECT_EQ(Get("PATH", "SOFTWARE\\Rawlet tests\\no such key"), std::make_pair(false, std::string()));
    EXPECT_EQ(Get("long"), std::make_pair(false, std::string()));
}

// Rights to read are all it needs: the key is opened with KEY_READ.
TEST_F(GetKeyValueTest, ReadsAKeyThatMayOnlyBeRead)
{
    Set("PATH", REG_SZ, "C:\\read\\only.exe", 17);
    ASSERT_TRUE(MakeReadOnly(HKEY_LOCAL_MACHINE, kKey));
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, 0x2003F, &opened), ERROR_ACCESS_DENIED)
        << "the key's rights are not enforced, so this test would prove nothing";
    EXPECT_EQ(Get("PATH"), std::make_pair(true, std::string("C:\\read\\only.exe")));
}

} // namespace
} // namespace rawlet::test
