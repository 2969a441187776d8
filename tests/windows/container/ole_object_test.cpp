// The control in a form: misc status, extents snapped to its icon, in-place placement,
// design mode and the ambient user mode, its picture, class info and categories.
#include <gtest/gtest.h>
#include <olectl.h>

#include "categorize_properties.h"
#include "embedded.h"

namespace rawlet::test {
namespace {

int Twips(LONG himetric) { return MulDiv(himetric, 1440, 2540); }

SIZEL Extent(const ComPtr<_Rawlet>& control)
{
    SIZEL size{};
    EXPECT_EQ(As<IOleObject>(control)->GetExtent(DVASPECT_CONTENT, &size), S_OK);
    return size;
}

TEST(OleObject, StatusAndExtentsAreThoseOfTheIcon)
{
    auto control = CreateControl(Make<TestSite>(false).get());
    auto object = As<IOleObject>(control);
    DWORD status = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20591u);

    // The designed layout's size until the first resize, then the icon's whatever is asked.
    EXPECT_EQ(Twips(Extent(control).cx), 1050);
    EXPECT_EQ(Twips(Extent(control).cy), 855);
    for (SIZEL asked : {SIZEL{5000, 3000}, SIZEL{10, 10}}) {
        EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &asked), S_OK);
        EXPECT_EQ(Twips(Extent(control).cx), 540);
        EXPECT_EQ(Twips(Extent(control).cy), 480);
    }
    SIZEL viewed{};
    ASSERT_EQ(As<IViewObject2>(control)->GetExtent(DVASPECT_CONTENT, -1, nullptr, &viewed), S_OK);
    EXPECT_EQ(viewed.cx, Extent(control).cx);
    EXPECT_EQ(viewed.cy, Extent(control).cy);
}

TEST(OleObject, ActiveInPlaceItTakesTheIconsSizeAndReportsIt)
{
    auto site = Make<TestSite>(true);
    auto control = CreateControl(site.get());
    auto object = As<IOleObject>(control);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(site->activations, 1);

    HDC screen = GetDC(nullptr);
    const int width = MulDiv(540, GetDeviceCaps(screen, LOGPIXELSX), 1440);
    const int height = MulDiv(480, GetDeviceCaps(screen, LOGPIXELSY), 1440);
    ReleaseDC(nullptr, screen);
    const RECT placed{10, 20, 10 + width, 20 + height};
    ASSERT_EQ(site->positionChanges.size(), 1u);
    EXPECT_TRUE(EqualRect(&site->positionChanges[0], &placed));

    const RECT dragged{30, 40, 300, 400}, snapped{30, 40, 30 + width, 40 + height};
    EXPECT_EQ(As<IOleInPlaceObject>(control)->SetObjectRects(&dragged, &dragged), S_OK);
    ASSERT_EQ(site->positionChanges.size(), 2u);
    EXPECT_TRUE(EqualRect(&site->positionChanges[1], &snapped));

    EXPECT_EQ(object->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site->deactivations, 1);
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
}

struct Picture {
    int drawn = 0; // pixels no longer the magenta background
    int black = 0; // of those, the printer's outline
};

// What the control draws over a magenta background of 36 by 32 pixels.
Picture Draw(const ComPtr<_Rawlet>& control)
{
    constexpr COLORREF kBackground = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 36, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, 36, 32};
    HBRUSH brush = CreateSolidBrush(kBackground);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    const RECTL bounds{0, 0, 36, 32};
    EXPECT_EQ(As<IViewObject2>(control)->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds,
                                              nullptr, nullptr, 0),
              S_OK);
    Picture picture;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 36; ++x) {
            picture.drawn += GetPixel(dc, x, y) != kBackground;
            picture.black += GetPixel(dc, x, y) == RGB(0, 0, 0);
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

TEST(OleObject, InADesignerEndPageRaises387AndTheIconShowsUntilRunMode)
{
    auto designer = Make<TestSite>(false);
    auto control = CreateControl(designer.get());
    EXPECT_EQ(control->EndPage(), kSetNotPermitted);
    EXPECT_EQ(ErrorDescription(), L"Set not permitted");
    const Picture icon = Draw(control);
    EXPECT_EQ(icon.drawn, 36 * 32); // the window colour, and the printer on it
    EXPECT_GT(icon.black, 0);

    // The designer switches to run mode and says so.
    designer->userMode = true;
    ASSERT_EQ(As<IOleControl>(control)->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
    EXPECT_EQ(control->EndPage(), kNoDocument); // past the user-mode check
    EXPECT_EQ(Draw(control).drawn, 0);

    designer->userMode = false;
    ASSERT_EQ(As<IOleControl>(control)->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
    EXPECT_EQ(control->EndPage(), kSetNotPermitted);

    // Without a site there is no designer.
    EXPECT_EQ(CreateControl()->EndPage(), kNoDocument);
}

// A designer that switches modes without saying so: EndPage asks at each call, and keeps the
// mode last heard when the site cannot answer.
TEST(OleObject, EndPageAsksTheSiteForItsModeAtEachCall)
{
    auto designer = Make<TestSite>(false);
    auto control = CreateControl(designer.get());
    EXPECT_EQ(control->EndPage(), kSetNotPermitted);
    designer->userMode = true;
    EXPECT_EQ(control->EndPage(), kNoDocument);
    designer->userMode = false;
    EXPECT_EQ(control->EndPage(), kSetNotPermitted);

    designer->answersAmbient = false;
    designer->userMode = true;
    EXPECT_EQ(control->EndPage(), kSetNotPermitted) << "the mode last heard, not a default";
}

TEST(OleObject, ClassInfoAndPropertyCategories)
{
    auto control = CreateControl();
    auto classInfo = As<IProvideClassInfo2>(control);
    GUID source{};
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID___Rawlet);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(classInfo->GetClassInfo(info.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, CLSID_Rawlet);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(attributes);

    auto categories = As<ICategorizeProperties>(control);
    ASSERT_TRUE(categories);
    PROPCAT data = 0, translate = 0, name = 0;
    ASSERT_EQ(categories->MapPropertyToCategory(DISPID_VALUE, &data), S_OK);
    ASSERT_EQ(categories->MapPropertyToCategory(0x68030001, &translate), S_OK);
    EXPECT_EQ(data, translate);
    EXPECT_NE(categories->MapPropertyToCategory(0x68030002, &name), S_OK);
    Bstr category;
    ASSERT_EQ(categories->GetCategoryName(data, LOCALE_USER_DEFAULT, category.put()), S_OK);
    EXPECT_EQ(category.view(), L";Misc");
}

} // namespace
} // namespace rawlet::test
