#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oleidl.h>

#include "container.h"
#include "interface_part.h"
#include <rawlet/rawlet.h>

namespace rawlet::activex {

// In-place activation (IOleInPlaceObject, IOleInPlaceActiveObject). The control has no
// window of its own: active, it takes its place in the container's layout and keeps to the
// size of its icon, which it reports back when the container gives it another.
class InPlaceObject final : public InterfacePart<IOleInPlaceObject, IOleInPlaceActiveObject> {
public:
    InPlaceObject(IUnknown& outer, ContainedRawlet& control, Container& container) noexcept
        : InterfacePart(outer), control_(control), container_(container)
    {}

    // Activates the control in place on `site` (DoVerb); S_OK when it is active, a success
    // code saying why not when the site does not take in-place objects.
    HRESULT Activate(IOleClientSite* site) noexcept;
    bool Active() const noexcept { return static_cast<bool>(site_); }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) noexcept override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override;

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) noexcept override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) noexcept override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) noexcept override;

private:
    ContainedRawlet& control_;
    Container& container_;
    ComPtr<IOleInPlaceSite> site_; // set while active
    bool resizing_ = false;
};

} // namespace rawlet::activex
