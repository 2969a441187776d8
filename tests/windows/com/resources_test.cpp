// The resources Rawlet.ocx carries: type library, version record, toolbox bitmap.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "ocx.h"

namespace rawlet::test {
namespace {

std::string_view Resource(const wchar_t* type, WORD id, WORD language)
{
    HRSRC found = FindResourceExW(Ocx::Module(), type, MAKEINTRESOURCEW(id), language);
    if (found == nullptr)
        return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(Ocx::Module(), found)));
    return {data, SizeofResource(Ocx::Module(), found)};
}

DWORD HeaderField(std::string_view data, std::size_t offset)
{
    DWORD value = 0;
    memcpy(&value, data.data() + offset, sizeof value);
    return value;
}

TEST(Resources, TypeLibraryIsTypelib1LanguageNeutral)
{
    const std::string_view library = Resource(L"TYPELIB", 1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_GE(library.size(), 0x54u);
    EXPECT_EQ(library.substr(0, 4), "MSFT");
    EXPECT_EQ(HeaderField(library, 0x2C), 1000u) << "the library's help context";
    EXPECT_EQ(HeaderField(library, 0x50), 1u) << "one imported type, stdole's IDispatch";
}

TEST(Resources, ToolboxBitmapIs16By15)
{
    const std::string_view bitmap =
        Resource(MAKEINTRESOURCEW(2) /* RT_BITMAP */, 30000, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, bitmap.data(), sizeof header);
    EXPECT_EQ(header.biWidth, 16);
    EXPECT_EQ(header.biHeight, 15);
}

class VersionRecord : public testing::Test {
protected:
    void SetUp() override
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(Ocx::Path().c_str(), &ignored);
        ASSERT_GT(size, 0u);
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(Ocx::Path().c_str(), 0, size, block.data()));
    }

    std::wstring Text(const std::wstring& name)
    {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length))
            return L"(missing)";
        return std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0);
    }

    std::vector<BYTE> block;
};

TEST_F(VersionRecord, NumbersTypeAndLanguage)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}

TEST_F(VersionRecord, Texts)
{
    EXPECT_EQ(Text(L"FileVersion"), L"2.00.0001");
    EXPECT_EQ(Text(L"ProductVersion"), L"2.00.0001");
    EXPECT_EQ(Text(L"FileDescription"), L"Utility for printer");
    EXPECT_EQ(Text(L"ProductName"), L"Rawleter");
    EXPECT_EQ(Text(L"InternalName"), L"Rawlet");
    EXPECT_EQ(Text(L"OriginalFilename"), L"Rawlet.ocx");
    EXPECT_EQ(Text(L"OLESelfRegister"), L"");
}

} // namespace
} // namespace rawlet::test
