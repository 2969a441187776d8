#pragma once

#include <atomic>
#include <windows.h>
// wingdi's StartDoc macro would rename the member of that name in _Rawlet and Rawlet.
#undef StartDoc

#include "Rawlet_h.h"
#include "com_host.h"
#include "com_ptr.h"
#include "rawlet.h"

namespace rawlet::activex {

// The COM object of the control: the dual interface _Rawlet over one rawlet::Rawlet.
// Late-bound calls go through the type library's own dispatch to the same vtable
// methods, so both ways reach the same code and check arguments the same way.
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

    std::atomic<ULONG> references_{1};
    ComPtr<ITypeInfo> typeInfo_;
    ComHost host_;
    Rawlet control_;
};

} // namespace rawlet::activex
