#pragma once

#include <windows.h> // first: the COM headers build on it

#include <ocidl.h>

#include "container.h"
#include "interface_part.h"

namespace rawlet::activex {

// IOleControl: the container's ambient properties changed (a designer switching to run
// mode and back). The control has no mnemonics and raises no events to freeze.
class OleControl final : public InterfacePart<IOleControl> {
public:
    OleControl(IUnknown& outer, Container& container) noexcept : InterfacePart(outer), container_(container)
    {}

    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) noexcept override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) noexcept override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) noexcept override;

private:
    Container& container_;
};

} // namespace rawlet::activex
