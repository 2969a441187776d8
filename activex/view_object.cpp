#include "view_object.h"

#include "printer_icon.h"

namespace rawlet::activex {

namespace {

// Image1 is 36 by 32 pixels; the About box's 32 by 32 printer sits in its middle. Both
// scale with the rectangle the container draws into.
constexpr int kImageWidth = 36;
constexpr int kIconWidth = 32;

void DrawImage1(HDC dc, const RECT& bounds) noexcept
{
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_WINDOW));
    const about::UniqueIcon icon = about::CreatePrinterIcon(kIconWidth);
    if (!icon)
        return;
    const int width = bounds.right - bounds.left;
    const int iconWidth = MulDiv(width, kIconWidth, kImageWidth);
    DrawIconEx(dc, bounds.left + (width - iconWidth) / 2, bounds.top, icon.get(), iconWidth,
               bounds.bottom - bounds.top, 0, nullptr, DI_NORMAL);
}

} // namespace

HRESULT ViewObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                         BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (dc == nullptr || bounds == nullptr)
        return E_INVALIDARG;
    if (!container_.UserMode())
        DrawImage1(dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
    return S_OK;
}

HRESULT ViewObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) noexcept
{
    if (colours != nullptr)
        *colours = nullptr;
    return S_FALSE; // no particular palette
}

HRESULT ViewObject::Freeze(DWORD, LONG, void*, DWORD*) noexcept { return E_NOTIMPL; }
HRESULT ViewObject::Unfreeze(DWORD) noexcept { return E_NOTIMPL; }

HRESULT ViewObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept
{
    container_.SetViewAdvise(aspects, flags, ComPtr<IAdviseSink>::Share(sink));
    if (sink != nullptr && (flags & ADVF_PRIMEFIRST))
        sink->OnViewChange(DVASPECT_CONTENT, -1);
    return S_OK;
}

HRESULT ViewObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept
{
    container_.GetViewAdvise(aspects, flags, sink);
    return S_OK;
}

HRESULT ViewObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) noexcept
{
    if (size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = container_.Extent();
    return S_OK;
}

} // namespace rawlet::activex
