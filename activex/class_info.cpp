#include "class_info.h"

#include "Rawlet_h.h"
#include "type_library.h"

namespace rawlet::activex {

HRESULT ClassInfo::GetClassInfo(ITypeInfo** info) noexcept
{
    if (info == nullptr)
        return E_POINTER;
    *info = OwnTypeInfo(CLSID_Rawlet).detach();
    return *info != nullptr ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT ClassInfo::GetGUID(DWORD kind, GUID* guid) noexcept
{
    if (guid == nullptr)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID___Rawlet;
    return S_OK;
}

} // namespace rawlet::activex
