// Rawlet in a real container: the ATL host window of the system's atl.dll creates the control
// by its ProgID (so through the registry), embeds it and gives it a site. Queue "catl" gets
// the job printed from there.
#include <gtest/gtest.h>

#include "embedded.h"

namespace rawlet::test {
namespace {

using AxWinInit = BOOL(WINAPI*)();
using AxGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);
using AxCreateControlEx = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**, REFIID,
                                           IUnknown*);

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class AtlHost : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        atl = LoadLibraryW(L"atl.dll");
        ASSERT_NE(atl, nullptr);
        init = reinterpret_cast<AxWinInit>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        getControl =
            reinterpret_cast<AxGetControl>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        createControl = reinterpret_cast<AxCreateControlEx>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxCreateControlEx")));
        ASSERT_TRUE(init && getControl && createControl);
        static const bool registered = init(); // the host window class, once per process
        ASSERT_TRUE(registered);
        form = CreateWindowExW(0, L"STATIC", L"Form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override
    {
        if (form != nullptr)
            DestroyWindow(form);
        PumpMessages();
        OleUninitialize();
    }

    HMODULE atl = nullptr;
    AxWinInit init = nullptr;
    AxGetControl getControl = nullptr;
    AxCreateControlEx createControl = nullptr;
    HWND form = nullptr;
};

TEST_F(AtlHost, AHostWindowCreatesTheControlWhichPrintsAndReportsChanges)
{
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"Rawleter.Rawlet", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100,
                                form, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    PumpMessages();
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(getControl(host, unknown.put()), S_OK);
    auto control = unknown.As<_Rawlet>();
    ASSERT_TRUE(control);

    // Embedded: the host is its site, and a running application, not a designer.
    ComPtr<IOleClientSite> site;
    ASSERT_EQ(As<IOleObject>(control)->GetClientSite(site.put()), S_OK);
    EXPECT_TRUE(site);
    EXPECT_EQ(control->EndPage(), kNoDocument);

    // The host placed it in its window's rectangle, and it snapped to its icon.
    SIZEL size{};
    ASSERT_EQ(As<IOleObject>(control)->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    EXPECT_EQ(MulDiv(size.cx, 1440, 2540), 540);
    EXPECT_EQ(MulDiv(size.cy, 1440, 2540), 480);

    auto sink = Make<PropertySink>();
    ASSERT_NE(Connect(control.get(), IID_IPropertyNotifySink, sink.get()), 0u);
    ASSERT_EQ(control->put_PrinterName(Bstr(L"catl").get()), S_OK);
    ASSERT_EQ(control->put_PrinterData(Bstr(L"printed from the ATL host").get()), S_OK);
    ASSERT_EQ(control->PrinterClose(), S_OK);
    EXPECT_EQ(sink->changed, (std::vector<DISPID>{0x68030002, DISPID_VALUE}));

    control.reset();
    unknown.reset();
    DestroyWindow(host);
}

TEST_F(AtlHost, TheHostLoadsTheControlFromItsSavedStream)
{
    // Saved by an instance of our own, loaded by the host.
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    {
        auto saved = CreateControl(Make<TestSite>(false).get());
        ASSERT_EQ(saved->put_PrinterName(Bstr(L"catl").get()), S_OK);
        ASSERT_EQ(saved->put_PrinterDocumentName(Bstr(L"Saved in a designer").get()), S_OK);
        ASSERT_EQ(As<IPersistStreamInit>(saved)->Save(stream.get(), TRUE), S_OK);
        stream->Seek({}, STREAM_SEEK_SET, nullptr);
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 120, 200, 100, form, nullptr,
                                  nullptr, nullptr);
    ComPtr<IUnknown> host, unknown;
    ASSERT_EQ(
        createControl(L"Rawleter.Rawlet", window, stream.get(), host.put(), unknown.put(), IID_NULL, nullptr),
        S_OK);
    PumpMessages();
    auto control = unknown.As<_Rawlet>();
    ASSERT_TRUE(control);
    EXPECT_EQ(PrinterName(control.get()), L"catl");
    EXPECT_EQ(DocumentName(control.get()), L"Saved in a designer");
    control.reset();
    unknown.reset();
    host.reset();
    DestroyWindow(window);
}

} // namespace
} // namespace rawlet::test
