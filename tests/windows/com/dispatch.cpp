#include "dispatch.h"

namespace rawlet::test {

Variant Text(std::wstring_view text)
{
    Variant value;
    value->vt = VT_BSTR;
    value->bstrVal = Bstr(text).detach();
    return value;
}

Variant Boolean(bool flag)
{
    Variant value;
    value->vt = VT_BOOL;
    value->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

Variant Integer(int number)
{
    Variant value;
    value->vt = VT_I4;
    value->lVal = number;
    return value;
}

DISPID IdOf(IDispatch* object, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

Outcome Raw(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params, REFIID riid)
{
    Outcome outcome;
    EXCEPINFO exception{};
    outcome.result = object->Invoke(id, riid, LOCALE_USER_DEFAULT, flags, params, outcome.value.get(),
                                    &exception, &outcome.argumentError);
    outcome.scode = exception.scode;
    outcome.source = Bstr::Attach(exception.bstrSource);
    outcome.description = Bstr::Attach(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

Outcome Get(IDispatch* object, DISPID id)
{
    DISPPARAMS none{};
    return Raw(object, id, DISPATCH_PROPERTYGET, &none);
}

Outcome Put(IDispatch* object, DISPID id, const Variant& value)
{
    VARIANT argument = *value.get(); // borrowed: Invoke does not take ownership
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    return Raw(object, id, DISPATCH_PROPERTYPUT, &params);
}

Outcome Method(IDispatch* object, DISPID id)
{
    DISPPARAMS none{};
    return Raw(object, id, DISPATCH_METHOD, &none);
}

std::pair<std::wstring, std::wstring> LastErrorInfo()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    Bstr source, description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    return {std::wstring(source.view()), std::wstring(description.view())};
}

} // namespace rawlet::test
