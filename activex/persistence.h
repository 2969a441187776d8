#pragma once

#include <windows.h> // first: the COM headers build on it

#include <ocidl.h>

#include "container.h"
#include "interface_part.h"
#include <rawlet/rawlet.h>

namespace rawlet::activex {

// The control's saved properties, in a container's property bag (IPersistPropertyBag) or
// stream (IPersistStreamInit): InitNew sets the control up fresh, Load loads the four keys
// with the control's tolerance of unreadable values, Save writes them.
class Persistence final : public InterfacePart<IPersistStreamInit, IPersistPropertyBag> {
public:
    Persistence(IUnknown& outer, ContainedRawlet& control, Container& container) noexcept
        : InterfacePart(outer), control_(control), container_(container)
    {}

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override;
    HRESULT STDMETHODCALLTYPE InitNew() noexcept override;

    // IPersistPropertyBag (InitNew is the same as above)
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) noexcept override;

private:
    ContainedRawlet& control_;
    Container& container_;
};

} // namespace rawlet::activex
