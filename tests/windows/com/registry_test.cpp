// The registration as COM itself reads it: the runner registers the module first.
#include <gtest/gtest.h>
#include <ole2.h>
#include <string>
#include <thread>

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

// What a call from another apartment got back through the proxy.
struct RemoteCalls {
    HRESULT unmarshal = E_FAIL;
    HRESULT put = E_FAIL;
    std::wstring got;
    HRESULT refused = S_OK;
};

void CallFromAnotherApartment(IStream* marshalled, HANDLE done, RemoteCalls& calls)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        ComPtr<_Rawlet> proxy;
        calls.unmarshal =
            CoGetInterfaceAndReleaseStream(marshalled, IID__Rawlet, reinterpret_cast<void**>(proxy.put()));
        if (proxy) {
            activex::Bstr name(L"across apartments"), value, unknown(L"no such printer");
            calls.put = proxy->put_PrinterDocumentName(name.get());
            proxy->get_PrinterDocumentName(value.put());
            calls.got = value.view();
            calls.refused = proxy->put_PrinterName(unknown.get());
        }
    }
    CoUninitialize();
    SetEvent(done);
}

// The interfaces are registered with the type-library marshaller: a caller in another
// apartment reaches the object through a proxy built from the type library alone. (The
// error's texts travel with COM's error object, which Wine's channel does not carry.)
TEST(Registration, CallsAndErrorNumbersCrossApartmentsThroughTheTypeLibraryMarshaller)
{
    ComPtr<_Rawlet> object;
    ASSERT_EQ(CoCreateInstance(CLSID_Rawlet, nullptr, CLSCTX_INPROC_SERVER, IID__Rawlet,
                               reinterpret_cast<void**>(object.put())),
              S_OK);
    IStream* marshalled = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID__Rawlet, object.get(), &marshalled), S_OK);

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RemoteCalls calls;
    std::thread caller(CallFromAnotherApartment, marshalled, done, std::ref(calls));
    DWORD index = 0;
    CoWaitForMultipleHandles(0, INFINITE, 1, &done, &index); // serves the calls meanwhile
    caller.join();
    CloseHandle(done);

    EXPECT_EQ(calls.unmarshal, S_OK);
    EXPECT_EQ(calls.put, S_OK);
    EXPECT_EQ(calls.got, L"across apartments");
    EXPECT_EQ(calls.refused, static_cast<HRESULT>(0x800A7D00));
    activex::Bstr here;
    ASSERT_EQ(object->get_PrinterDocumentName(here.put()), S_OK);
    EXPECT_EQ(here.view(), L"across apartments");
}

} // namespace
} // namespace rawlet::test
