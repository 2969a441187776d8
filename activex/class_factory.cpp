#include "class_factory.h"

#include "module.h"
#include "rawlet_object.h"

namespace rawlet::activex {

HRESULT ClassFactory::QueryInterface(REFIID riid, void** object) noexcept
{
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    return RawletObject::Create(riid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept
{
    module::Lock(lock != FALSE);
    return S_OK;
}

ClassFactory& TheClassFactory() noexcept
{
    static ClassFactory factory;
    return factory;
}

} // namespace rawlet::activex
