#pragma once

#include <windows.h> // first: the COM headers build on it

#include <ocidl.h>

#include "interface_part.h"

namespace rawlet::activex {

// IProvideClassInfo2: the control class's type information, from the module's own type
// library, and the outgoing interface __Rawlet as its default source.
class ClassInfo final : public InterfacePart<IProvideClassInfo2> {
public:
    using InterfacePart::InterfacePart;

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) noexcept override;
};

} // namespace rawlet::activex
