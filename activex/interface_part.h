#pragma once

#include <windows.h> // first: the COM headers build on it

#include <unknwn.h>

namespace rawlet::activex {

// One family of the control's interfaces, implemented apart from the object that owns it.
// The part has no identity of its own: QueryInterface, AddRef and Release go to the
// object (`outer`), so every interface of the control answers for the same object and keeps
// the same object alive.
template <class... Interfaces> class InterfacePart : public Interfaces... {
public:
    explicit InterfacePart(IUnknown& outer) noexcept : outer_(outer) {}
    InterfacePart(const InterfacePart&) = delete;
    InterfacePart& operator=(const InterfacePart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override
    {
        return outer_.QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return outer_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return outer_.Release(); }

protected:
    ~InterfacePart() = default;
    IUnknown& outer() const noexcept { return outer_; }

private:
    IUnknown& outer_;
};

} // namespace rawlet::activex
