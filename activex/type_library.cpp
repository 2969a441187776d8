#include "type_library.h"

#include <string>

#include "module.h"

namespace rawlet::activex {

ComPtr<ITypeInfo> OwnTypeInfo(REFGUID guid) noexcept
{
    ComPtr<ITypeInfo> info;
    try {
        ComPtr<ITypeLib> library;
        if (FAILED(LoadTypeLibEx(module::Path().c_str(), REGKIND_NONE, library.put())))
            return info;
        library->GetTypeInfoOfGuid(guid, info.put());
    } catch (...) {
        info.reset();
    }
    return info;
}

} // namespace rawlet::activex
