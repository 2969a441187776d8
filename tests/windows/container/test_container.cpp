#include "test_container.h"

#include <olectl.h>

#include "bstr.h"

namespace rawlet::test {

using activex::Bstr;

HRESULT TestSite::OnInPlaceActivate()
{
    ++activations;
    return S_OK;
}

HRESULT TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT rect,
                                   LPRECT clip, LPOLEINPLACEFRAMEINFO)
{
    *frame = nullptr;
    *document = nullptr;
    *rect = position;
    *clip = position;
    return S_OK;
}

HRESULT TestSite::OnInPlaceDeactivate()
{
    ++deactivations;
    return S_OK;
}

HRESULT TestSite::OnPosRectChange(LPCRECT rect)
{
    positionChanges.push_back(*rect);
    position = *rect;
    return S_OK;
}

HRESULT TestSite::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT TestSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (!answersAmbient || id != DISPID_AMBIENT_USERMODE || !(flags & DISPATCH_PROPERTYGET) ||
        result == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    result->vt = VT_BOOL;
    result->boolVal = userMode ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

void TestBag::Set(const std::wstring& key, const VARIANT& value)
{
    Variant copy;
    VariantCopy(copy.get(), const_cast<VARIANT*>(&value));
    values_.erase(key);
    values_.emplace(key, std::move(copy));
}

void TestBag::SetText(const std::wstring& key, const std::wstring& text)
{
    Variant value;
    value->vt = VT_BSTR;
    value->bstrVal = Bstr(text).detach();
    Set(key, *value.get());
}

const VARIANT* TestBag::Find(const std::wstring& key) const
{
    const auto found = values_.find(key);
    return found == values_.end() ? nullptr : found->second.get();
}

std::wstring TestBag::Text(const std::wstring& key) const
{
    const VARIANT* value = Find(key);
    Variant text;
    if (value == nullptr || VariantChangeType(text.get(), const_cast<VARIANT*>(value), 0, VT_BSTR) != S_OK)
        return L"";
    return std::wstring(Bstr::View(text->bstrVal));
}

// As a container's bag answers: E_INVALIDARG for a name it does not hold.
HRESULT TestBag::Read(LPCOLESTR key, VARIANT* value, IErrorLog*)
{
    if (unreadable.count(key) != 0)
        return E_FAIL;
    const VARIANT* stored = Find(key);
    if (stored == nullptr)
        return E_INVALIDARG;
    VariantInit(value);
    return VariantCopy(value, const_cast<VARIANT*>(stored));
}

HRESULT TestBag::Write(LPCOLESTR key, VARIANT* value)
{
    written.push_back(key);
    Set(key, *value);
    return S_OK;
}

HRESULT PropertySink::OnChanged(DISPID id)
{
    changed.push_back(id);
    return S_OK;
}

DWORD Connect(IUnknown* control, REFIID iid, IUnknown* sink, HRESULT* result)
{
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    HRESULT outcome =
        control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.put()));
    if (SUCCEEDED(outcome))
        outcome = container->FindConnectionPoint(iid, point.put());
    if (SUCCEEDED(outcome))
        outcome = point->Advise(sink, &cookie);
    if (result != nullptr)
        *result = outcome;
    return cookie;
}

} // namespace rawlet::test
