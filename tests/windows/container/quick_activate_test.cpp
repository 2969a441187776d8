// Quick activation, as form packages and browsers set a control up in one call, against the
// slow path of separate calls.
#include <gtest/gtest.h>
#include <olectl.h>

#include "embedded.h"

namespace rawlet::test {
namespace {

// What a container reads back of a control it has set up; `notified` counts the changes
// that reached the property sink.
struct Embedding {
    IOleClientSite* site;
    IAdviseSink* viewSink;
    LONG width;
    LONG height;
    HRESULT endPage;
    std::size_t notified;
    bool operator==(const Embedding&) const = default;
};

Embedding EmbeddingOf(const ComPtr<_Rawlet>& control, const PropertySink& sink)
{
    ComPtr<IOleClientSite> site;
    ComPtr<IAdviseSink> view;
    SIZEL extent{};
    As<IOleObject>(control)->GetClientSite(site.put());
    As<IViewObject2>(control)->GetAdvise(nullptr, nullptr, view.put());
    As<IOleObject>(control)->GetExtent(DVASPECT_CONTENT, &extent);
    Embedding embedding{site.get(), view.get(), extent.cx, extent.cy, control->EndPage(), 0};
    const std::size_t before = sink.changed.size();
    control->put_PrinterDocumentName(Bstr(L"changed").get());
    embedding.notified = sink.changed.size() - before;
    return embedding;
}

HRESULT Disconnect(const ComPtr<_Rawlet>& control, REFIID iid, DWORD cookie)
{
    ComPtr<IConnectionPoint> point;
    As<IConnectionPointContainer>(control)->FindConnectionPoint(iid, point.put());
    return point->Unadvise(cookie);
}

QACONTAINER Given(IOleClientSite* site, DWORD flags)
{
    QACONTAINER given{};
    given.cbSize = sizeof given;
    given.pClientSite = site;
    given.dwAmbientFlags = flags;
    return given;
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
    Connect(slow.get(), IID_IPropertyNotifySink, propertySink.get());
    Connect(slow.get(), DIID___Rawlet, static_cast<IDispatch*>(eventSink.get()));
    ASSERT_EQ(As<IViewObject2>(slow)->SetAdvise(DVASPECT_CONTENT, 0, viewSink.get()), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(slow)->InitNew(), S_OK);
    ASSERT_EQ(As<IOleObject>(slow)->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
    DWORD status = 0;
    As<IOleObject>(slow)->GetMiscStatus(DVASPECT_CONTENT, &status);

    auto quick = Ocx::Create();
    QACONTAINER given = Given(designer.get(), 0);
    given.pAdviseSink = viewSink.get();
    given.pPropertyNotifySink = propertySink.get();
    given.pUnkEventSink = static_cast<IDispatch*>(eventSink.get());
    QACONTROL answered{};
    answered.cbSize = sizeof answered;
    ASSERT_EQ(As<IQuickActivate>(quick)->QuickActivate(&given, &answered), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(quick)->InitNew(), S_OK);
    ASSERT_EQ(As<IQuickActivate>(quick)->SetContentExtent(&asked), S_OK);

    EXPECT_EQ(answered.dwMiscStatus, status);
    EXPECT_EQ(answered.dwViewStatus & VIEWSTATUS_OPAQUE, 0u) << "the control is invisible at run time";
    const Embedding expected = EmbeddingOf(slow, *propertySink.get());
    EXPECT_EQ(expected.notified, 1u);
    EXPECT_EQ(expected.endPage, kSetNotPermitted);
    EXPECT_EQ(EmbeddingOf(quick, *propertySink.get()), expected);
    SIZEL content{};
    ASSERT_EQ(As<IQuickActivate>(quick)->GetContentExtent(&content), S_OK);
    EXPECT_EQ(content.cx, expected.width);
    EXPECT_EQ(Disconnect(quick, IID_IPropertyNotifySink, answered.dwPropNotifyCookie), S_OK);
    EXPECT_EQ(Disconnect(quick, DIID___Rawlet, answered.dwEventCookie), S_OK);
}

// Where the site cannot answer for its mode, the container's flags tell it.
TEST(QuickActivation, TakesTheUserModeFromTheContainersFlags)
{
    auto site = Make<TestSite>(true);
    site->answersAmbient = false;
    for (const DWORD flags : {0ul, static_cast<DWORD>(QACONTAINER_USERMODE)}) {
        QACONTAINER given = Given(site.get(), flags);
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
