#include "dialog_layout.h"

namespace rawlet::about {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kLine = kChild | SS_OWNERDRAW;

// The lines run from (90, 2445) and (105, 2460) to x 5654; the white one is two units thick.
constexpr Element kElements[] = {
    {kCmdOK,
     "BUTTON",
     kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
     {4245, 2625, 1260, 345},
     "OK",
     Font::kDialog},
    {kPicIcon,
     "STATIC",
     kChild | SS_ICON | SS_CENTERIMAGE | SS_REALSIZECONTROL,
     {240, 240, 480, 480},
     "",
     Font::kDialog},
    {kCmdSysInfo,
     "BUTTON",
     kChild | WS_TABSTOP | BS_PUSHBUTTON,
     {4260, 3075, 1245, 345},
     "&System Info...",
     Font::kDialog},
    {kLblDescription, "STATIC", kLabel, {870, 945, 4185, 1380}, "", Font::kDescription},
    {kLblDisclaimer, "STATIC", kLabel, {255, 2625, 3870, 825}, "Warning: ...", Font::kDialog},
    {kLblTitle, "STATIC", kLabel, {1980, 240, 1860, 360}, "", Font::kTitle},
    {kLblVersion, "STATIC", kLabel, {1020, 630, 3885, 225}, "Version", Font::kDialog},
    {kLine1Index1, "STATIC", kLine, {90, 2445, 5654 - 90, 15}, "", Font::kDialog},
    {kLine1Index0, "STATIC", kLine, {105, 2460, 5654 - 105, 30}, "", Font::kDialog},
};

} // namespace

std::span<const Element> Elements() { return kElements; }

Dpi ScreenDpi() noexcept
{
    Dpi dpi{96, 96}; // no screen: the size the dialog was designed at
    if (const HDC screen = GetDC(nullptr)) {
        dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

RECT PixelRect(const TwipRect& twips, Dpi dpi) noexcept
{
    constexpr int kTwipsPerInch = 1440;
    const auto across = [&](int length) { return MulDiv(length, dpi.x, kTwipsPerInch); };
    const auto down = [&](int length) { return MulDiv(length, dpi.y, kTwipsPerInch); };
    return {across(twips.left), down(twips.top), across(twips.left + twips.width),
            down(twips.top + twips.height)};
}

} // namespace rawlet::about
