#pragma once

#include <windows.h> // first: the COM headers build on it

#include <ocidl.h>

#include "container.h"
#include "interface_part.h"

namespace rawlet::activex {

// IQuickActivate: a form package or browser sets the control up in one call. The call goes
// through the control's own interfaces for the client site, the view's advise sink, the two
// connection points and the extent, so it leaves the control as the slow path does; only the
// ambient user mode comes from the container's flags instead of its site.
class QuickActivation final : public InterfacePart<IQuickActivate> {
public:
    // Invisible at run time and drawn on the window colour at design time only: neither
    // opaque nor on a solid background throughout.
    static constexpr DWORD kViewStatus = 0;

    QuickActivation(IUnknown& outer, Container& container) noexcept
        : InterfacePart(outer), container_(container)
    {}

    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) noexcept override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) noexcept override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) noexcept override;

private:
    Container& container_;
};

} // namespace rawlet::activex
