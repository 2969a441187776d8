#pragma once

#include <atomic>
#include <windows.h>
// wingdi's StartDoc macro would rename the member of that name in _Rawlet and Rawlet.
#undef StartDoc

#include "Rawlet_h.h"
#include "categorize_properties.h"
#include "class_info.h"
#include "com_host.h"
#include "com_ptr.h"
#include "connection_point.h"
#include "container.h"
#include "in_place_object.h"
#include "ole_control.h"
#include "ole_object.h"
#include "persist_storage.h"
#include "persistence.h"
#include "quick_activate.h"
#include "view_object.h"
#include <rawlet/rawlet.h>

namespace rawlet::activex {

// The COM object of the control: the dual interface _Rawlet over one rawlet::Rawlet.
// Late-bound calls go through the type library's own dispatch to the same vtable
// methods, so both ways reach the same code and check arguments the same way.
// The OLE control interfaces are parts of the object, each family in its own class;
// QueryInterface hands them out, and they all answer for this object. The object ends
// when its last reference goes, and the control with it (closing a queue it left open).
class RawletObject final : public _Rawlet, public ISupportErrorInfo {
public:
    // Creates an object and queries it for `riid`.
    static HRESULT Create(REFIID riid, void** object) noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) noexcept override;

    // _Rawlet
    HRESULT STDMETHODCALLTYPE killDocument() noexcept override;
    HRESULT STDMETHODCALLTYPE PrinterClose() noexcept override;
    HRESULT STDMETHODCALLTYPE StartDoc() noexcept override;
    HRESULT STDMETHODCALLTYPE get_PrinterName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PrinterName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PrinterData(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PrinterData(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE EndDoc() noexcept override;
    HRESULT STDMETHODCALLTYPE EndPage() noexcept override;
    HRESULT STDMETHODCALLTYPE get_PrinterTranslate(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PrinterTranslate(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PrinterDocumentName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PrinterDocumentName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE About() noexcept override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) noexcept override;

private:
    explicit RawletObject(ComPtr<ITypeInfo> typeInfo);
    ~RawletObject();
    RawletObject(const RawletObject&) = delete;
    RawletObject& operator=(const RawletObject&) = delete;

    template <class Body> HRESULT Get(BSTR* value, Body&& body) noexcept;

    IUnknown& Outer() noexcept { return *static_cast<_Rawlet*>(this); }

    std::atomic<ULONG> references_{1};
    ComPtr<ITypeInfo> typeInfo_;
    ConnectionPoint propertyNotify_{Outer(), IID_IPropertyNotifySink};
    ConnectionPoint events_{Outer(), DIID___Rawlet, &IID_IDispatch};
    Container container_{propertyNotify_};
    ComHost host_{container_};
    ContainedRawlet control_;
    ConnectionPoints connectionPoints_{Outer(), {&propertyNotify_, &events_}};
    Persistence persistence_{Outer(), control_, container_};
    PersistStorage persistStorage_{Outer(), persistence_, container_};
    InPlaceObject inPlace_{Outer(), control_, container_};
    OleObject oleObject_{Outer(), control_, container_, inPlace_};
    OleControl oleControl_{Outer(), container_};
    QuickActivation quickActivation_{Outer(), container_};
    ViewObject view_{Outer(), container_};
    ClassInfo classInfo_{Outer()};
    CategorizeProperties categories_{Outer()};
};

} // namespace rawlet::activex
