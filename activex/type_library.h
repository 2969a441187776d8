#pragma once

#include <oaidl.h>

#include "com_ptr.h"

namespace rawlet::activex {

// The type information of `guid` from the type library the module carries (resource
// TYPELIB 1), without consulting or touching the registry. Empty on failure.
ComPtr<ITypeInfo> OwnTypeInfo(REFGUID guid) noexcept;

} // namespace rawlet::activex
