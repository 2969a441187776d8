// The registration as COM itself reads it: the runner registers the module first.
#include <gtest/gtest.h>
#include <ole2.h>

#include "bstr.h"
#include "ocx.h"

namespace rawlet::test {
namespace {

TEST(Registration, ProgIdsLeadToTheClass)
{
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Rawleter.Rawlet", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Rawlet);
    ASSERT_EQ(CLSIDFromProgID(L"Rawleter.Rawlet.1", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Rawlet);
}

TEST(Registration, ComCreatesTheObjectFromTheRegisteredModule)
{
    ComPtr<IDispatch> object;
    ASSERT_EQ(CoCreateInstance(CLSID_Rawlet, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(object.put())),
              S_OK);
    EXPECT_TRUE(object.As<_Rawlet>());
}

TEST(Registration, ContainersReadTheMiscStatus)
{
    DWORD status = 0;
    ASSERT_EQ(OleRegGetMiscStatus(CLSID_Rawlet, DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20591u);
}

TEST(Registration, TheTypeLibraryIsFoundByItsIdentityAndVersion)
{
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_Rawleter, 17, 0, 0, library.put()), S_OK);
    activex::Bstr path;
    ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_Rawleter, 17, 0, 0, path.put()), S_OK);
    EXPECT_EQ(std::wstring(path.view()), Ocx::Path());
}

} // namespace
} // namespace rawlet::test
