#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oleidl.h>

#include "container.h"
#include "interface_part.h"

namespace rawlet::activex {

// IViewObject2: how a container draws the control when it is not active. At design time
// that is the control's icon, Image1, on the system window colour; at run time the control
// is invisible and draws nothing.
class ViewObject final : public InterfacePart<IViewObject2> {
public:
    ViewObject(IUnknown& outer, Container& container) noexcept : InterfacePart(outer), container_(container)
    {}

    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                   HDC targetDevice, HDC dc, LPCRECTL bounds, LPCRECTL windowBounds,
                                   BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                                   ULONG_PTR keepGoingArgument) noexcept override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                          HDC targetDevice, LOGPALETTE** colours) noexcept override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo,
                                     DWORD* freeze) noexcept override;
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) noexcept override;
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target,
                                        LPSIZEL size) noexcept override;

private:
    Container& container_;
};

} // namespace rawlet::activex
