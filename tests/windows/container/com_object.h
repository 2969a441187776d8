#pragma once

// Small COM objects of the test container's own: sites, sinks and bags that the control
// calls back, recording what it did.

#include <atomic>
#include <windows.h>

#include "com_ptr.h"

namespace rawlet::test {

using activex::ComPtr;

// IUnknown for a test object implementing `Interfaces`; `Also` names further IIDs that
// answer with the first interface (base interfaces such as IOleWindow).
template <class... Interfaces> class ComObject : public Interfaces... {
public:
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (riid == IID_IUnknown || Also(riid))
            *object = static_cast<First*>(this);
        else
            (void)((riid == __uuidof(Interfaces) ? (*object = static_cast<Interfaces*>(this), true)
                                                 : false) ||
                   ...);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual bool Also(REFIID) const { return false; }

private:
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;
    std::atomic<ULONG> references_{1};
};

// A new test object, owned by the pointer returned.
template <class T, class... Arguments> ComPtr<T> Make(Arguments&&... arguments)
{
    return ComPtr<T>::Attach(new T(std::forward<Arguments>(arguments)...));
}

} // namespace rawlet::test
