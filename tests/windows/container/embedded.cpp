#include "embedded.h"

#include <gtest/gtest.h>

#include "dispatch.h"

namespace rawlet::test {

ComPtr<_Rawlet> CreateControl(IOleClientSite* site)
{
    ComPtr<_Rawlet> control = Ocx::Create();
    EXPECT_TRUE(control) << "the class factory made no control";
    if (control && site != nullptr) {
        EXPECT_EQ(As<IOleObject>(control)->SetClientSite(site), S_OK);
        EXPECT_EQ(As<IPersistStreamInit>(control)->InitNew(), S_OK);
    }
    return control;
}

namespace {
std::wstring Text(_Rawlet* control, HRESULT (STDMETHODCALLTYPE _Rawlet::*getter)(BSTR*))
{
    Bstr value;
    EXPECT_EQ((control->*getter)(value.put()), S_OK);
    return std::wstring(value.view());
}
} // namespace

std::wstring PrinterName(_Rawlet* control) { return Text(control, &_Rawlet::get_PrinterName); }
std::wstring PrinterData(_Rawlet* control) { return Text(control, &_Rawlet::get_PrinterData); }
std::wstring DocumentName(_Rawlet* control) { return Text(control, &_Rawlet::get_PrinterDocumentName); }

bool Translate(_Rawlet* control)
{
    VARIANT_BOOL value = VARIANT_FALSE;
    EXPECT_EQ(control->get_PrinterTranslate(&value), S_OK);
    return value != VARIANT_FALSE;
}

ComPtr<TestBag> Saved(const ComPtr<_Rawlet>& control)
{
    auto bag = Make<TestBag>();
    EXPECT_EQ(As<IPersistPropertyBag>(control)->Save(bag.get(), FALSE, TRUE), S_OK);
    return bag;
}

std::wstring ErrorDescription() { return LastErrorInfo().second; }

} // namespace rawlet::test
