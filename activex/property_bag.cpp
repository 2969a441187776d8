#include "property_bag.h"

#include "ansi_text.h"
#include "bstr.h"
#include "com_error.h"
#include "variant.h"

namespace rawlet::activex {

namespace {

// The keys are plain ASCII.
std::wstring Wide(std::string_view key) { return std::wstring(key.begin(), key.end()); }

} // namespace

ComPropertyBag::Read ComPropertyBag::ReadAs(std::string_view key, VARTYPE type, VARIANT& value)
{
    value.vt = type;         // the type we would like; a bag may give another
    value.bstrVal = nullptr; // so nothing is freed that the bag did not fill in
    const HRESULT result = bag_.Read(Wide(key).c_str(), &value, log_);
    if (result == E_INVALIDARG)
        return Read::Absent; // what a bag answers for a name it does not hold
    if (FAILED(result) || VariantChangeType(&value, &value, 0, type) != S_OK)
        return Read::Unreadable;
    return Read::Present;
}

std::optional<std::string> ComPropertyBag::ReadText(std::string_view key, std::string_view fallback)
{
    Variant value;
    switch (ReadAs(key, VT_BSTR, *value.get())) {
    case Read::Absent:
        return std::string(fallback);
    case Read::Unreadable:
        return std::nullopt;
    case Read::Present:
        break;
    }
    return winapi::ToAnsi(Bstr::View(value->bstrVal));
}

std::optional<bool> ComPropertyBag::ReadBoolean(std::string_view key, bool fallback)
{
    Variant value;
    switch (ReadAs(key, VT_BOOL, *value.get())) {
    case Read::Absent:
        return fallback;
    case Read::Unreadable:
        return std::nullopt;
    case Read::Present:
        break;
    }
    return value->boolVal != VARIANT_FALSE;
}

void ComPropertyBag::Write(std::string_view key, VARIANT& value)
{
    Check(bag_.Write(Wide(key).c_str(), &value));
}

void ComPropertyBag::WriteText(std::string_view key, std::string_view value)
{
    Variant text;
    text->bstrVal = Bstr(winapi::FromAnsi(value)).detach();
    text->vt = VT_BSTR;
    Write(key, *text.get());
}

void ComPropertyBag::WriteBoolean(std::string_view key, bool value)
{
    Variant boolean;
    boolean->vt = VT_BOOL;
    boolean->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Write(key, *boolean.get());
}

} // namespace rawlet::activex
