#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oleidl.h>

#include "container.h"
#include "in_place_object.h"
#include "interface_part.h"
#include <rawlet/rawlet.h>

namespace rawlet::activex {

// IOleObject: the control embedded in a container. It wants its client site before it is
// initialised or loaded (OLEMISC_SETCLIENTSITEFIRST), so the ambient user mode is known
// from the start; its extent is always the size of its icon once a container sizes it.
class OleObject final : public InterfacePart<IOleObject> {
public:
    // The control's miscellaneous status, as registered: recompose on resize, no links
    // inside, inside-out, active when visible, invisible at run time, client site first.
    static constexpr DWORD kMiscStatus = 0x20591;

    OleObject(IUnknown& outer, ContainedRawlet& control, Container& container,
              InPlaceObject& inPlace) noexcept
        : InterfacePart(outer), control_(control), container_(container), inPlace_(inPlace)
    {}

    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) noexcept override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR document) noexcept override;
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) noexcept override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) noexcept override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) noexcept override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation,
                                           DWORD reserved) noexcept override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) noexcept override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite, LONG index,
                                     HWND parent, LPCRECT position) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) noexcept override;
    HRESULT STDMETHODCALLTYPE Update() noexcept override;
    HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override;
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) noexcept override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) noexcept override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) noexcept override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) noexcept override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) noexcept override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) noexcept override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) noexcept override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) noexcept override;

private:
    ContainedRawlet& control_;
    Container& container_;
    InPlaceObject& inPlace_;
};

} // namespace rawlet::activex
