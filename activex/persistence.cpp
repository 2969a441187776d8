#include "persistence.h"

#include "Rawlet_h.h"
#include "com_error.h"
#include "property_bag.h"
#include "stream_format.h"

namespace rawlet::activex {

HRESULT Persistence::GetClassID(CLSID* clsid) noexcept
{
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = CLSID_Rawlet;
    return S_OK;
}

HRESULT Persistence::IsDirty() noexcept { return container_.Dirty() ? S_OK : S_FALSE; }

HRESULT Persistence::InitNew() noexcept
{
    return Guarded([&] {
        control_.Initialise();
        container_.SetDirty(false);
    });
}

// The whole stream is read and checked before the control sees any of it: a stream that
// is refused changes nothing.
HRESULT Persistence::Load(IStream* stream) noexcept
{
    if (stream == nullptr)
        return E_POINTER;
    return Guarded([&] {
        stream_format::Properties properties = stream_format::Read(*stream);
        control_.Load(properties);
        container_.SetDirty(false);
    });
}

HRESULT Persistence::Save(IStream* stream, BOOL clearDirty) noexcept
{
    if (stream == nullptr)
        return E_POINTER;
    return Guarded([&] {
        stream_format::Properties properties;
        control_.Save(properties);
        stream_format::Write(*stream, properties);
        if (clearDirty)
            container_.SetDirty(false);
    });
}

HRESULT Persistence::GetSizeMax(ULARGE_INTEGER* size) noexcept
{
    if (size == nullptr)
        return E_POINTER;
    return Guarded([&] {
        stream_format::Properties properties;
        control_.Save(properties);
        size->QuadPart = stream_format::Encode(properties).size();
    });
}

HRESULT Persistence::Load(IPropertyBag* bag, IErrorLog* log) noexcept
{
    if (bag == nullptr)
        return E_POINTER;
    return Guarded([&] {
        ComPropertyBag properties(*bag, log);
        control_.Load(properties);
        container_.SetDirty(false);
    });
}

// Every key is written, defaults too: `saveAll` asks for no more than that.
HRESULT Persistence::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept
{
    if (bag == nullptr)
        return E_POINTER;
    return Guarded([&] {
        ComPropertyBag properties(*bag, nullptr);
        control_.Save(properties);
        if (clearDirty)
            container_.SetDirty(false);
    });
}

} // namespace rawlet::activex
