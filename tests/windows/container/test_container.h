#pragma once

// The test container: a client site with ambient properties and an in-place site, a
// property bag, and property-change sinks.

#include <map>
#include <ocidl.h>
#include <set>
#include <string>
#include <vector>

#include "com_object.h"
#include "variant.h"

namespace rawlet::test {

using activex::Variant;

// A form's site: its ambient UserMode can be switched, and it records what the control
// asks of it in place.
class TestSite final : public ComObject<IOleClientSite, IOleInPlaceSite, IDispatch> {
public:
    explicit TestSite(bool inUserMode) : userMode(inUserMode) {}

    bool userMode;
    bool answersAmbient = true;      // false: the ambient properties cannot be read
    RECT position{10, 20, 110, 220}; // what the container gives the active control
    std::vector<RECT> positionChanges;
    int activations = 0;
    int deactivations = 0;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;

    // IDispatch: the ambient properties, of which only UserMode is known.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

protected:
    bool Also(REFIID riid) const override { return riid == IID_IOleWindow; }
};

// A property bag held in memory; a key can be made unreadable, and every key written is
// kept in the order written.
class TestBag final : public ComObject<IPropertyBag> {
public:
    void Set(const std::wstring& key, const VARIANT& value);
    void SetText(const std::wstring& key, const std::wstring& text);
    // The value under `key` as text ("" when absent).
    std::wstring Text(const std::wstring& key) const;
    const VARIANT* Find(const std::wstring& key) const;

    std::set<std::wstring> unreadable;
    std::vector<std::wstring> written;

    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR key, VARIANT* value, IErrorLog*) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR key, VARIANT* value) override;

private:
    std::map<std::wstring, Variant> values_;
};

// Records the dispatch id of every OnChanged.
class PropertySink final : public ComObject<IPropertyNotifySink> {
public:
    std::vector<DISPID> changed;
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
};

// A view's advise sink, as a form gives it; records nothing.
class ViewSink final : public ComObject<IAdviseSinkEx> {
public:
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override {}
    void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override {}

protected:
    bool Also(REFIID riid) const override { return riid == IID_IAdviseSink; }
};

// Connects `sink` to the control's connection point `iid`; the cookie, 0 on failure.
DWORD Connect(IUnknown* control, REFIID iid, IUnknown* sink, HRESULT* result = nullptr);

} // namespace rawlet::test
