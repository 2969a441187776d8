// Property-change sinks and the event source point; release with a queue open. Queues:
// "cnotify" gets "n", "crelease" gets "released" when the control is released.
#include <cstdlib>
#include <gtest/gtest.h>
#include <olectl.h>

#include "embedded.h"

namespace rawlet::test {
namespace {

TEST(Notifications, EveryChangeReachesEachSinkWithItsDispatchId)
{
    auto control = CreateControl(Make<TestSite>(true).get());
    auto first = Make<PropertySink>(), second = Make<PropertySink>();
    ASSERT_NE(Connect(control.get(), IID_IPropertyNotifySink, first.get()), 0u);
    const DWORD cookie = Connect(control.get(), IID_IPropertyNotifySink, second.get());
    ASSERT_NE(cookie, 0u);

    ASSERT_EQ(control->put_PrinterName(Bstr(L"cnotify").get()), S_OK);
    ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"Notified").get()), S_OK);
    ASSERT_EQ(control->put_PrinterTranslate(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control->put_PrinterData(Bstr(L"n").get()), S_OK);
    ASSERT_EQ(control->EndPage(), S_OK);
    ASSERT_EQ(control->PrinterClose(), S_OK);
    const std::vector<DISPID> expected{0x68030002, 0x68030000, 0x68030001, DISPID_VALUE, 0x6003000C};
    EXPECT_EQ(first->changed, expected);
    EXPECT_EQ(second->changed, expected);

    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(
        As<IConnectionPointContainer>(control)->FindConnectionPoint(IID_IPropertyNotifySink, point.put()),
        S_OK);
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(control->put_PrinterTranslate(VARIANT_FALSE), S_OK);
    EXPECT_EQ(first->changed.size(), expected.size() + 1);
    EXPECT_EQ(second->changed.size(), expected.size());
}

TEST(Notifications, TheEventSourceTakesDispatchSinksAndThePointsEnumerate)
{
    auto control = CreateControl();
    auto dispatchSink = Make<TestSite>(true); // an IDispatch, as many containers' event sinks are
    IDispatch* dispatch = dispatchSink.get();
    HRESULT result = E_FAIL;
    EXPECT_NE(Connect(control.get(), DIID___Rawlet, dispatch, &result), 0u);
    EXPECT_EQ(result, S_OK);
    Connect(control.get(), DIID___Rawlet, Make<PropertySink>().get(), &result);
    EXPECT_EQ(result, CONNECT_E_CANNOTCONNECT);
    Connect(control.get(), IID_IDispatch, dispatch, &result);
    EXPECT_EQ(result, CONNECT_E_NOCONNECTION);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(As<IConnectionPointContainer>(control)->EnumConnectionPoints(points.put()), S_OK);
    std::vector<IID> iids;
    IConnectionPoint* point = nullptr;
    while (points->Next(1, &point, nullptr) == S_OK) {
        IID iid{};
        point->GetConnectionInterface(&iid);
        iids.push_back(iid);
        point->Release();
    }
    EXPECT_EQ(iids, (std::vector<IID>{IID_IPropertyNotifySink, DIID___Rawlet}));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The job reaches the printer while this program still runs: closing the queue at release,
// not the end of the process, delivered it.
TEST(Release, ReleasingTheControlWithItsQueueOpenDeliversTheJob)
{
    const char* devices = std::getenv("RAWLET_TEST_DEVICES");
    ASSERT_NE(devices, nullptr);
    const std::wstring job = std::wstring(devices, devices + strlen(devices)) + L"\\crelease\\job-1.bin";

    auto site = Make<TestSite>(true);
    auto control = CreateControl(site.get());
    ASSERT_EQ(control->put_PrinterName(Bstr(L"crelease").get()), S_OK);
    ASSERT_EQ(control->put_PrinterData(Bstr(L"released").get()), S_OK);
    EXPECT_FALSE(Exists(job)) << "the document is still open";

    auto object = As<IOleObject>(control);
    ASSERT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    ASSERT_EQ(object->SetClientSite(nullptr), S_OK);
    object.reset();
    control.reset();
    for (int tenths = 0; tenths < 600 && !Exists(job); ++tenths)
        Sleep(100);
    EXPECT_TRUE(Exists(job)) << "the job did not arrive within a minute of the release";
}

} // namespace
} // namespace rawlet::test
