#include "categorize_properties.h"

#include "bstr.h"
#include "com_error.h"
#include "dispatch_ids.h"

namespace rawlet::activex {

HRESULT CategorizeProperties::MapPropertyToCategory(DISPID id, PROPCAT* category) noexcept
{
    if (category == nullptr)
        return E_POINTER;
    if (id != dispatch_ids::kPrinterData && id != dispatch_ids::kPrinterTranslate)
        return E_FAIL;
    *category = kMisc;
    return S_OK;
}

HRESULT CategorizeProperties::GetCategoryName(PROPCAT category, LCID, BSTR* name) noexcept
{
    if (name == nullptr)
        return E_POINTER;
    *name = nullptr;
    if (category != kMisc)
        return E_FAIL;
    return Guarded([&] { *name = Bstr(L";Misc").detach(); });
}

} // namespace rawlet::activex
