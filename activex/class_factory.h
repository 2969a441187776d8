#pragma once

#include <unknwn.h>

namespace rawlet::activex {

// Hands out Rawlet objects. One lives for the module's whole life, so its references do
// not count; the server locks it takes do.
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;
};

ClassFactory& TheClassFactory() noexcept;

} // namespace rawlet::activex
