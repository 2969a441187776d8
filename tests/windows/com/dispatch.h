#pragma once

// Late-bound calls as an automation client makes them, and what comes back.

#include <olectl.h>
#include <string_view>

#include "bstr.h"
#include "ocx.h"
#include "variant.h"

namespace rawlet::test {

using activex::Bstr;
using activex::Variant;

struct Outcome {
    HRESULT result = E_FAIL;
    Variant value;
    SCODE scode = 0;
    Bstr source;
    Bstr description;
    UINT argumentError = 0;
};

Variant Text(std::wstring_view text);
Variant Boolean(bool value);
Variant Integer(int value);

DISPID IdOf(IDispatch* object, const wchar_t* name);

// IDispatch::Invoke with `params` as given, riid IID_NULL unless told otherwise.
Outcome Raw(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params, REFIID riid = IID_NULL);
Outcome Get(IDispatch* object, DISPID id);
Outcome Put(IDispatch* object, DISPID id, const Variant& value);
Outcome Method(IDispatch* object, DISPID id);

// The thread's IErrorInfo after a vtable call, as {source, description}.
std::pair<std::wstring, std::wstring> LastErrorInfo();

} // namespace rawlet::test
