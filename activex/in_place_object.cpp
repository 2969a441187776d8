#include "in_place_object.h"

#include "com_error.h"
#include "extent.h"

namespace rawlet::activex {

namespace {

// The screen's pixels per inch, which in-place rectangles are measured in.
SIZE ScreenPixelsPerInch() noexcept
{
    SIZE dpi{96, 96};
    if (HDC screen = GetDC(nullptr)) {
        dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

} // namespace

HRESULT InPlaceObject::Activate(IOleClientSite* site) noexcept
{
    if (Active())
        return S_OK;
    const auto inPlaceSite = ComPtr<IOleClientSite>::Share(site).As<IOleInPlaceSite>();
    if (!inPlaceSite || inPlaceSite->CanInPlaceActivate() != S_OK)
        return OLEOBJ_S_CANNOT_DOVERB_NOW; // nothing to show elsewhere: the control stays loaded
    if (const HRESULT result = inPlaceSite->OnInPlaceActivate(); FAILED(result))
        return result;
    site_ = inPlaceSite;

    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(site_->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo)))
        SetObjectRects(&position, &clip);
    return S_OK;
}

HRESULT InPlaceObject::GetWindow(HWND* window) noexcept
{
    if (window == nullptr)
        return E_POINTER;
    *window = nullptr;
    return E_FAIL; // no window of its own
}

HRESULT InPlaceObject::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

HRESULT InPlaceObject::InPlaceDeactivate() noexcept
{
    if (!Active())
        return S_OK;
    const ComPtr<IOleInPlaceSite> site = std::move(site_);
    site->OnInPlaceDeactivate();
    return S_OK;
}

// Never UI-active: there is nothing to type into or click.
HRESULT InPlaceObject::UIDeactivate() noexcept { return S_OK; }

// A rectangle of another size makes the control snap back to its icon (Resize), and the
// container hears of the size it took.
HRESULT InPlaceObject::SetObjectRects(LPCRECT position, LPCRECT) noexcept
{
    if (position == nullptr)
        return E_POINTER;
    if (resizing_)
        return S_OK; // the container answering our own OnPosRectChange
    resizing_ = true;
    const HRESULT result = Guarded([&] {
        control_.Resize();
        const SIZE dpi = ScreenPixelsPerInch();
        const SIZEL size = container_.Extent();
        const RECT snapped{position->left, position->top,
                           position->left + extent::HimetricToPixels(size.cx, dpi.cx),
                           position->top + extent::HimetricToPixels(size.cy, dpi.cy)};
        if (site_ && !EqualRect(&snapped, position))
            site_->OnPosRectChange(&snapped);
    });
    resizing_ = false;
    return result;
}

HRESULT InPlaceObject::ReactivateAndUndo() noexcept { return INPLACE_E_NOTUNDOABLE; }

HRESULT InPlaceObject::TranslateAccelerator(LPMSG) noexcept { return S_FALSE; }
HRESULT InPlaceObject::OnFrameWindowActivate(BOOL) noexcept { return S_OK; }
HRESULT InPlaceObject::OnDocWindowActivate(BOOL) noexcept { return S_OK; }
HRESULT InPlaceObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept { return S_OK; }
HRESULT InPlaceObject::EnableModeless(BOOL) noexcept { return S_OK; }

} // namespace rawlet::activex
