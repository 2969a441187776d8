#pragma once

#include <windows.h> // first: the COM headers build on it

#include <oaidl.h>

#include "interface_part.h"

// ICategorizeProperties, which property browsers ask for the group each property shows in.
// The platform headers do not declare it.
typedef int PROPCAT;
MIDL_INTERFACE("4D07FC10-F931-11CE-B001-00AA006884E5")
ICategorizeProperties : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE MapPropertyToCategory(DISPID id, PROPCAT * category) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCategoryName(PROPCAT category, LCID lcid, BSTR * name) = 0;
};
__CRT_UUID_DECL(ICategorizeProperties, 0x4D07FC10, 0xF931, 0x11CE, 0xB0, 0x01, 0x00, 0xAA, 0x00, 0x68, 0x84,
                0xE5)

namespace rawlet::activex {

// PrinterData and PrinterTranslate belong to the category ";Misc" (its name is exactly
// that, leading semicolon included); the other properties are left to the browser.
class CategorizeProperties final : public InterfacePart<ICategorizeProperties> {
public:
    // The category's number: positive numbers are the control's own, negative ones the
    // browser's standard categories.
    static constexpr PROPCAT kMisc = 1;

    using InterfacePart::InterfacePart;

    HRESULT STDMETHODCALLTYPE MapPropertyToCategory(DISPID id, PROPCAT* category) noexcept override;
    HRESULT STDMETHODCALLTYPE GetCategoryName(PROPCAT category, LCID lcid, BSTR* name) noexcept override;
};

} // namespace rawlet::activex
