#pragma once

#include <span>
#include <windows.h>

namespace rawlet::about {

// The control identifiers of frmAbout's elements. cmdOK is the dialog's OK button, so the
// dialog manager's Enter and Escape keys reach it.
enum ElementId : int {
    kCmdOK = IDOK,
    kPicIcon = 101,
    kCmdSysInfo,
    kLblDescription,
    kLblDisclaimer,
    kLblTitle,
    kLblVersion,
    kLine1Index1, // the grey line of the etched separator
    kLine1Index0, // the white line below it
};

// A place and size in twips, as designed.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

enum class Font { kDialog, kDescription, kTitle };

// One element as it is created: window class, style, design caption and font. The order of
// the table is the tab order (the lines come last and take no part in it).
struct Element {
    ElementId id;
    const char* windowClass;
    DWORD style;
    TwipRect twips;
    const char* caption;
    Font font;
};

std::span<const Element> Elements();

// frmAbout's client area on the screen, in twips.
inline constexpr TwipRect kDialogClientTwips{2340, 1935, 5730, 3555};
inline constexpr char kDesignCaption[] = "About MyApp";
// The dialog's own font and the two labels' fonts, in tenths of a point.
inline constexpr char kFontFace[] = "MS Sans Serif";
inline constexpr int kDialogFontTenths = 80;
inline constexpr int kDescriptionFontTenths = 120;
inline constexpr int kTitleFontTenths = 135;
// The separator's colours.
inline constexpr COLORREF kLineGrey = RGB(0x80, 0x80, 0x80);
inline constexpr COLORREF kLineWhite = RGB(0xFF, 0xFF, 0xFF);

// The screen's pixels per inch, across and down. The dialog is laid out at them, as its
// fonts are made at them.
struct Dpi {
    int x;
    int y;
};
Dpi ScreenDpi() noexcept;

// A place in twips as pixels at `dpi`. Each edge is rounded from its own twips, so elements
// that meet in twips meet on the screen.
RECT PixelRect(const TwipRect& twips, Dpi dpi) noexcept;

} // namespace rawlet::about
