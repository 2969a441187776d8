// frmAbout as a user sees it: shown by ShowAboutDialog, read back from its windows while it
// is open, closed with its buttons.
#include <cmath>
#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

#include "about_dialog.h"
#include "about_texts.h"
#include "dialog_layout.h"
#include "driver.h"

namespace rawlet::test {
namespace {

using about::ShowAboutDialog;

// Everything read from one showing of the dialog.
struct Observed {
    HWND dialog = nullptr;
    std::string caption;
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = nullptr;
    POINT clientOrigin{};
    RECT client{};
    std::map<int, Element> elements;
    std::map<int, LOGFONTA> fonts;
    std::map<int, int> textHeights; // what each label's text needs, in its font at its width
    std::vector<int> childOrder;
    std::vector<int> tabStops;
    LRESULT defaultId = 0;
    int focusId = 0;
    bool hasWindowIcon = false;
    SIZE pictureIconSize{};
    bool screenshotTaken = false;
    bool closedByOk = false;
};

SIZE IconSize(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

std::vector<int> TabStops(HWND dialog)
{
    std::vector<int> ids;
    HWND first = GetDlgItem(dialog, about::kCmdOK);
    HWND next = first;
    do {
        ids.push_back(GetDlgCtrlID(next));
        next = GetNextDlgTabItem(dialog, next, FALSE);
    } while (next && next != first && ids.size() < 20);
    return ids;
}

// The height `label` needs to show all of its text, wrapped at its width.
int TextHeight(HWND label)
{
    RECT area{};
    GetClientRect(label, &area);
    const HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    std::string text = TextOf(label);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back(); // a closing line break shows nothing
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return area.bottom - area.top;
}

void Read(HWND dialog, Observed& seen)
{
    seen.dialog = dialog;
    seen.caption = TextOf(dialog);
    seen.style = GetWindowLongA(dialog, GWL_STYLE);
    seen.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
    seen.owner = GetWindow(dialog, GW_OWNER);
    ClientToScreen(dialog, &seen.clientOrigin);
    GetClientRect(dialog, &seen.client);
    seen.childOrder = ChildIds(dialog);
    for (int id : seen.childOrder) {
        const HWND child = GetDlgItem(dialog, id);
        seen.elements[id] = ReadElement(child);
        LOGFONTA font{};
        if (GetObjectA(reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)), sizeof font, &font))
            seen.fonts[id] = font;
        if (id == about::kLblTitle || id == about::kLblVersion || id == about::kLblDescription ||
            id == about::kLblDisclaimer)
            seen.textHeights[id] = TextHeight(child);
    }
    seen.tabStops = TabStops(dialog);
    seen.defaultId = LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    seen.focusId = GetDlgCtrlID(gui.hwndFocus);
    seen.hasWindowIcon = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) != 0;
    seen.pictureIconSize =
        IconSize(reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, about::kPicIcon, STM_GETICON, 0, 0)));
}

// The screen's pixels per inch, which the dialog is laid out at.
int ScreenDpi(int axis)
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dpi;
}

LONG Across(int twips) { return std::lround(twips * ScreenDpi(LOGPIXELSX) / 1440.0); }
LONG Down(int twips) { return std::lround(twips * ScreenDpi(LOGPIXELSY) / 1440.0); }

// A rectangle in pixels at the screen's DPI from one given in twips, each edge from its own twips.
RECT FromTwips(int left, int top, int width, int height)
{
    return {Across(left), Down(top), Across(left + width), Down(top + height)};
}

class AboutDialogShown : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WhileShowing([] { ShowAboutDialog(nullptr); },
                     [](DWORD thread) {
                         const HWND dialog = WaitForDialog(thread);
                         if (!dialog)
                             return;
                         Read(dialog, seen_);
                         seen_.screenshotTaken = TakeScreenshot();
                         Click(dialog, about::kCmdOK);
                         seen_.closedByOk = WaitFor([&] { return !IsWindow(dialog); });
                         CloseIfOpen(dialog);
                     });
    }
    static Observed seen_;

    const Element& At(int id) { return seen_.elements.at(id); }
};

Observed AboutDialogShown::seen_;

TEST_F(AboutDialogShown, IsAFixedDialogOwnedOutOfTheTaskBarAtItsDesignedPlace)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    EXPECT_EQ(seen_.caption, "About    Rawlet");
    EXPECT_TRUE(seen_.style & WS_CAPTION);
    EXPECT_TRUE(seen_.style & WS_SYSMENU);
    EXPECT_FALSE(seen_.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(seen_.exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(seen_.exStyle & WS_EX_APPWINDOW);
    EXPECT_NE(seen_.owner, nullptr) << "an unowned window shows in the task bar";
    const RECT client = FromTwips(2340, 1935, 5730, 3555);
    EXPECT_EQ(seen_.clientOrigin.x, client.left);
    EXPECT_EQ(seen_.clientOrigin.y, client.top);
    EXPECT_EQ(seen_.client.right, client.right - client.left);
    EXPECT_EQ(seen_.client.bottom, client.bottom - client.top);
    EXPECT_TRUE(seen_.hasWindowIcon);
}

TEST_F(AboutDialogShown, HasEveryElementAtItsPlaceAndSize)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    struct Expected {
        int id;
        const char* windowClass;
        RECT rect;
    };
    const Expected table[] = {
        {about::kPicIcon, "Static", FromTwips(240, 240, 480, 480)},
        {about::kCmdOK, "Button", FromTwips(4245, 2625, 1260, 345)},
        {about::kCmdSysInfo, "Button", FromTwips(4260, 3075, 1245, 345)},
        {about::kLblDescription, "Static", FromTwips(870, 945, 4185, 1380)},
        {about::kLblTitle, "Static", FromTwips(1980, 240, 1860, 360)},
        {about::kLblVersion, "Static", FromTwips(1020, 630, 3885, 225)},
        {about::kLblDisclaimer, "Static", FromTwips(255, 2625, 3870, 825)},
        // The lines from (90, 2445) and (105, 2460) to x 5654, one and two units thick.
        {about::kLine1Index1, "Static", FromTwips(90, 2445, 5654 - 90, 15)},
        {about::kLine1Index0, "Static", FromTwips(105, 2460, 5654 - 105, 30)},
    };
    ASSERT_EQ(seen_.elements.size(), std::size(table));
    for (const Expected& expected : table) {
        SCOPED_TRACE(expected.id);
        const Element& element = At(expected.id);
        EXPECT_STRCASEEQ(element.windowClass.c_str(), expected.windowClass);
        EXPECT_EQ(element.rect.left, expected.rect.left);
        EXPECT_EQ(element.rect.top, expected.rect.top);
        EXPECT_EQ(element.rect.right, expected.rect.right);
        EXPECT_EQ(element.rect.bottom, expected.rect.bottom);
    }
    EXPECT_EQ(At(about::kLine1Index0).rect.top, At(about::kLine1Index1).rect.bottom) << "the lines meet";
    EXPECT_EQ(seen_.pictureIconSize.cx, MulDiv(32, ScreenDpi(LOGPIXELSX), 96)) << "the icon keeps to its box";
    EXPECT_EQ(seen_.pictureIconSize.cy, MulDiv(32, ScreenDpi(LOGPIXELSX), 96));
}

TEST_F(AboutDialogShown, ShowsTheCaptionsSetAtLoad)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    EXPECT_EQ(At(about::kCmdOK).text, "OK");
    EXPECT_EQ(At(about::kCmdSysInfo).text, "&System Info...");
    EXPECT_EQ(At(about::kLblTitle).text, " R a w l e t  2");
    EXPECT_EQ(At(about::kLblVersion).text, "Version 2.0.1");
    EXPECT_EQ(At(about::kLblDisclaimer).text, "For any question or suggestion Telephone me");
    // The credit line, a carriage return, the contact line and a carriage return.
    const std::string& description = At(about::kLblDescription).text;
    ASSERT_EQ(std::count(description.begin(), description.end(), '\r'), 2) << description;
    EXPECT_EQ(description.back(), '\r');
    EXPECT_GT(description.find('\r'), 0u) << "the credit line is missing";
    EXPECT_EQ(description, about::LoadedTexts().description);
}

// The script sets Wine's LogPixels and says which: without it, a run meant for another DPI
// would check the designed one again.
TEST_F(AboutDialogShown, IsLaidOutAtTheScreensDpi)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    if (const char* expected = std::getenv("RAWLET_EXPECTED_DPI")) {
        EXPECT_EQ(ScreenDpi(LOGPIXELSX), std::atoi(expected));
        EXPECT_EQ(ScreenDpi(LOGPIXELSY), std::atoi(expected));
    }
    for (const auto& [id, needed] : seen_.textHeights) {
        EXPECT_LE(needed, At(id).rect.bottom - At(id).rect.top) << "clipped: " << At(id).text;
    }
    EXPECT_EQ(seen_.textHeights.size(), 4u);
}

TEST_F(AboutDialogShown, UsesTheDesignedFonts)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    const int dpi = ScreenDpi(LOGPIXELSY);
    const auto points = [&](int id) { return -seen_.fonts.at(id).lfHeight * 72.0 / dpi; };
    EXPECT_STREQ(seen_.fonts.at(about::kLblDescription).lfFaceName, "MS Sans Serif");
    EXPECT_STREQ(seen_.fonts.at(about::kLblTitle).lfFaceName, "MS Sans Serif");
    EXPECT_NEAR(points(about::kLblDescription), 12.0, 0.5);
    EXPECT_NEAR(points(about::kLblTitle), 13.5, 0.5);
    EXPECT_LT(points(about::kLblDescription), points(about::kLblTitle));
}

TEST_F(AboutDialogShown, TabsFromOkToSystemInfoWithOkAsDefaultAndFocused)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    // Tab index order: cmdOK 0, picIcon 1, cmdSysInfo 2, lblDescription 3, lblDisclaimer 4,
    // lblTitle 5, lblVersion 6; the lines have none.
    const std::vector<int> order{about::kCmdOK,          about::kPicIcon,       about::kCmdSysInfo,
                                 about::kLblDescription, about::kLblDisclaimer, about::kLblTitle,
                                 about::kLblVersion,     about::kLine1Index1,   about::kLine1Index0};
    EXPECT_EQ(seen_.childOrder, order);
    EXPECT_EQ(seen_.tabStops, (std::vector<int>{about::kCmdOK, about::kCmdSysInfo}));
    EXPECT_EQ(seen_.defaultId, IDOK);
    EXPECT_EQ(At(about::kCmdOK).style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(seen_.focusId, about::kCmdOK);
}

TEST_F(AboutDialogShown, ClosesOnOkAndIsUnloaded)
{
    ASSERT_NE(seen_.dialog, nullptr) << "no dialog appeared";
    EXPECT_TRUE(seen_.closedByOk);
    EXPECT_FALSE(IsWindow(seen_.dialog));
}

TEST_F(AboutDialogShown, IsCapturedOnTheScreen)
{
    if (!std::getenv("RAWLET_SCREENSHOT_REQUEST"))
        GTEST_SKIP() << "no screenshot asked for";
    EXPECT_TRUE(seen_.screenshotTaken);
}

TEST(AboutDialog, EscapeClosesItAsCancel)
{
    HWND shown = nullptr;
    bool closed = false;
    WhileShowing([] { ShowAboutDialog(nullptr); },
                 [&](DWORD thread) {
                     shown = WaitForDialog(thread);
                     PostMessageA(GetDlgItem(shown, about::kCmdOK), WM_KEYDOWN, VK_ESCAPE, 0);
                     closed = WaitFor([&] { return !IsWindow(shown); });
                     CloseIfOpen(shown);
                 });
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(closed);
}

// Each About loads the dialog afresh (the captions are set again) and holds the owner
// disabled while it is open.
TEST(AboutDialog, IsModalOverItsOwnerAndLoadedAfreshEachTime)
{
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                       100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        HWND shown = nullptr;
        std::string caption;
        BOOL ownerEnabled = TRUE;
        WhileShowing([&] { ShowAboutDialog(owner); },
                     [&](DWORD thread) {
                         shown = WaitForDialog(thread, owner);
                         caption = TextOf(shown);
                         ownerEnabled = IsWindowEnabled(owner);
                         SetWindowTextA(shown, "changed by the test");
                         Click(shown, about::kCmdOK);
                         WaitFor([&] { return !IsWindow(shown); });
                         CloseIfOpen(shown);
                     });
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(caption, "About    Rawlet");
        EXPECT_FALSE(ownerEnabled);
        EXPECT_FALSE(IsWindow(shown));
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
}

} // namespace
} // namespace rawlet::test
