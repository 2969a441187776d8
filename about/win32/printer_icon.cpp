#include "printer_icon.h"

#include <cstring>
#include <vector>

#include "printer_icon_pixels.h"

namespace rawlet::about {
namespace {

// A top-down 32-bit colour bitmap holding the picture, alpha included.
UniqueBitmap ColourBitmap()
{
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = kPrinterIconSize;
    header.bV5Height = -kPrinterIconSize;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    UniqueBitmap bitmap(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap)
        std::memcpy(bits, kPrinterIconPixels, sizeof kPrinterIconPixels);
    return bitmap;
}

// The monochrome mask: a set bit where the picture is transparent. Rows are padded to
// 16 bits, as CreateBitmap wants.
UniqueBitmap MaskBitmap()
{
    constexpr int kRowBytes = (kPrinterIconSize + 15) / 16 * 2;
    std::vector<unsigned char> mask(kRowBytes * kPrinterIconSize, 0);
    for (int y = 0; y < kPrinterIconSize; ++y)
        for (int x = 0; x < kPrinterIconSize; ++x)
            if ((kPrinterIconPixels[y * kPrinterIconSize + x] >> 24) == 0)
                mask[static_cast<std::size_t>(y * kRowBytes + x / 8)] |=
                    static_cast<unsigned char>(0x80 >> (x % 8));
    return UniqueBitmap(CreateBitmap(kPrinterIconSize, kPrinterIconSize, 1, 1, mask.data()));
}

} // namespace

UniqueIcon CreatePrinterIcon() noexcept
{
    try {
        const UniqueBitmap colour = ColourBitmap();
        const UniqueBitmap mask = MaskBitmap();
        if (!colour || !mask)
            return {};
        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmColor = colour.get();
        info.hbmMask = mask.get();
        return UniqueIcon(CreateIconIndirect(&info)); // copies both bitmaps
    } catch (...) {
        return {};
    }
}

} // namespace rawlet::about
