// Quick activation, as form packages and browsers set a control up in one call, against the
// slow path of separate calls.
#include <gtest/gtest.h>
#include <olectl.h>

#include "embedded.h"

namespace rawlet::test {
namespace {

int Twips(LONG himetric) { return MulDiv(himetric, 1440, 2540); }

// The identities of the sinks connected to the control's connection point `iid`.
std::vector<IUnknown*> Connected(const ComPtr<_Rawlet>& control, REFIID iid)
{
    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnections> connections;
    std::vector<IUnknown*> sinks;
    if (FAILED(As<IConnectionPointContainer>(control)->FindConnectionPoint(iid, point.put())) ||
        FAILED(point->EnumConnections(connections.put())))
        return sinks;
    CONNECTDATA connection{};
    while (connections->Next(1, &connection, nullptr) == S_OK) {
        IUnknown* identity = nullptr;
        connection.pUnk->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
        sinks.push_back(identity);
        identity->Release(); // the test holds the sink: only its address is kept
        connection.pUnk->Release();
    }
    return sinks;
}

HRESULT Disconnect(const ComPtr<_Rawlet>& control, REFIID iid, DWORD cookie)
{
    ComPtr<IConnectionPoint> point;
    As<IConnectionPointContainer>(control)->FindConnectionPoint(iid, point.put());
    return point->Unadvise(cookie);
}

TEST(QuickActivation, LeavesTheControlAsTheSlowPathDoes)
{
    auto designer = Make<TestSite>(false);
    auto propertySink = Make<PropertySink>();
    auto eventSink = Make<TestSite>(true); // a plain IDispatch, as containers' event sinks often are
    auto viewSink = Make<ViewSink>();
    SIZEL asked{5000, 3000};

    auto slow = Ocx::Create();
    ASSERT_EQ(As<IOleObject>(slow)->SetClientSite(designer.get()), S_OK);
    ASSERT_NE(Connect(slow.get(), IID_IPropertyNotifySink, propertySink.get()), 0u);
    ASSERT_NE(Connect(slow.get(), DIID___Rawlet, static_cast<IDispatch*>(eventSink.get())), 0u);
    ASSERT_EQ(As<IViewObject2>(slow)->SetAdvise(DVASPECT_CONTENT, 0, viewSink.get()), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(slow)->InitNew(), S_OK);
    ASSERT_EQ(As<IOleObject>(slow)->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
    DWORD slowStatus = 0;
    ASSERT_EQ(As<IOleObject>(slow)->GetMiscStatus(DVASPECT_CONTENT, &slowStatus), S_OK);

    auto quick = Ocx::Create();
    QACONTAINER given{};
    given.cbSize = sizeof given;
    given.pClientSite = designer.get();
    given.pAdviseSink = viewSink.get();
    given.pPropertyNotifySink = propertySink.get();
    given.pUnkEventSink = static_cast<IDispatch*>(eventSink.get());
    QACONTROL answered{};
    answered.cbSize = sizeof answered;
    auto activation = As<IQuickActivate>(quick);
    ASSERT_EQ(activation->QuickActivate(&given, &answered), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(quick)->InitNew(), S_OK);
    ASSERT_EQ(activation->SetContentExtent(&asked), S_OK);

    EXPECT_EQ(answered.dwMiscStatus, slowStatus);
    EXPECT_EQ(answered.dwViewStatus & VIEWSTATUS_OPAQUE, 0u) << "the control is invisible at run time";
    for (const IID* iid : {&IID_IPropertyNotifySink, &DIID___Rawlet}) {
        EXPECT_EQ(Connected(quick, *iid).size(), 1u);
        EXPECT_EQ(Connected(quick, *iid), Connected(slow, *iid));
    }
    for (const auto& control : {slow, quick}) {
        ComPtr<IOleClientSite> site;
        ASSERT_EQ(As<IOleObject>(control)->GetClientSite(site.put()), S_OK);
        EXPECT_EQ(site.get(), static_cast<IOleClientSite*>(designer.get()));
        DWORD aspects = 0;
        ComPtr<IAdviseSink> view;
        ASSERT_EQ(As<IViewObject2>(control)->GetAdvise(&aspects, nullptr, view.put()), S_OK);
        EXPECT_EQ(view.get(), static_cast<IAdviseSink*>(viewSink.get()));
        EXPECT_EQ(aspects, static_cast<DWORD>(DVASPECT_CONTENT));
        SIZEL extent{};
        ASSERT_EQ(As<IOleObject>(control)->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
        EXPECT_EQ(Twips(extent.cx), 540);
        EXPECT_EQ(Twips(extent.cy), 480);
        EXPECT_EQ(control->EndPage(), kSetNotPermitted);
    }
    SIZEL content{};
    ASSERT_EQ(activation->GetContentExtent(&content), S_OK);
    EXPECT_EQ(Twips(content.cx), 540);

    EXPECT_EQ(Disconnect(quick, IID_IPropertyNotifySink, answered.dwPropNotifyCookie), S_OK);
    EXPECT_EQ(Disconnect(quick, DIID___Rawlet, answered.dwEventCookie), S_OK);
}

// Where the site cannot answer for its mode, the container's flags tell it.
TEST(QuickActivation, TakesTheUserModeFromTheContainersFlags)
{
    auto site = Make<TestSite>(true);
    site->answersAmbient = false;
    for (const DWORD flags : {0ul, static_cast<DWORD>(QACONTAINER_USERMODE)}) {
        QACONTAINER given{};
        given.cbSize = sizeof given;
        given.pClientSite = site.get();
        given.dwAmbientFlags = flags;
        QACONTROL answered{};
        answered.cbSize = sizeof answered;
        auto control = Ocx::Create();
        ASSERT_EQ(As<IQuickActivate>(control)->QuickActivate(&given, &answered), S_OK);
        EXPECT_EQ(control->EndPage(), flags ? kNoDocument : kSetNotPermitted) << flags;
        EXPECT_EQ(answered.dwPropNotifyCookie, 0u) << "no sink was given";
    }
}

} // namespace
} // namespace rawlet::test
