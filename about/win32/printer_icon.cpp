#include "printer_icon.h"

#include <cstdint>
#include <vector>

#include "printer_icon_pixels.h"

namespace rawlet::about {
namespace {

// The picture's pixel nearest to (x, y) of a `size`-pixel square, so its edges stay sharp
// at any size.
std::uint32_t PixelAt(int x, int y, int size)
{
    return kPrinterIconPixels[y * kPrinterIconSize / size * kPrinterIconSize + x * kPrinterIconSize / size];
}

// A top-down 32-bit colour bitmap holding the picture, alpha included.
UniqueBitmap ColourBitmap(int size)
{
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size;
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
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                static_cast<std::uint32_t*>(bits)[y * size + x] = PixelAt(x, y, size);
    return bitmap;
}

// The monochrome mask: a set bit where the picture is transparent. Rows are padded to
// 16 bits, as CreateBitmap wants.
UniqueBitmap MaskBitmap(int size)
{
    const int rowBytes = (size + 15) / 16 * 2;
    std::vector<unsigned char> mask(static_cast<std::size_t>(rowBytes * size), 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((PixelAt(x, y, size) >> 24) == 0)
                mask[static_cast<std::size_t>(y * rowBytes + x / 8)] |=
                    static_cast<unsigned char>(0x80 >> (x % 8));
    return UniqueBitmap(CreateBitmap(size, size, 1, 1, mask.data()));
}

} // namespace

UniqueIcon CreatePrinterIcon(int size) noexcept
{
    try {
        const UniqueBitmap colour = ColourBitmap(size);
        const UniqueBitmap mask = MaskBitmap(size);
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
