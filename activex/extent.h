#pragma once

#include <windows.h>

// Lengths on the container: the control thinks in twips (1/1440 inch), OLE's extents are
// in HIMETRIC (1/100 mm, so 2540 per inch), and drawing is in the device's pixels.
namespace rawlet::activex::extent {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kHimetricPerInch = 2540;

// Rounded to the nearest unit, so a length converted there and back is unchanged.
inline int TwipsToHimetric(int twips) noexcept { return MulDiv(twips, kHimetricPerInch, kTwipsPerInch); }
inline int HimetricToTwips(int himetric) noexcept
{
    return MulDiv(himetric, kTwipsPerInch, kHimetricPerInch);
}
inline int HimetricToPixels(int himetric, int pixelsPerInch) noexcept
{
    return MulDiv(himetric, pixelsPerInch, kHimetricPerInch);
}

} // namespace rawlet::activex::extent
