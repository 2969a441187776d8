#pragma once

#include <windows.h> // first: the COM headers build on it

#include <array>
#include <ocidl.h>
#include <vector>

#include "com_ptr.h"
#include "interface_part.h"

namespace rawlet::activex {

// One outgoing interface of the control and the sinks connected to it. A connection point
// is an object of its own to QueryInterface, but its references keep the control alive.
class ConnectionPoint final : public IConnectionPoint {
public:
    // A sink must answer QueryInterface for `iid`, or for `alternative` when given (event
    // sinks of some containers are plain IDispatch).
    ConnectionPoint(IUnknown& owner, REFIID iid, const IID* alternative = nullptr) noexcept;
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return owner_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) noexcept override;

    // The sinks connected now, each as the interface it was connected with. A copy: a sink
    // may disconnect while the caller goes through them.
    std::vector<ComPtr<IUnknown>> Sinks() const;

private:
    struct Connection {
        DWORD cookie;
        ComPtr<IUnknown> sink;
    };

    IUnknown& owner_;
    const IID iid_;
    const IID* alternative_;
    std::vector<Connection> connections_;
    DWORD lastCookie_ = 0;
};

// IConnectionPointContainer over the control's connection points.
class ConnectionPoints final : public InterfacePart<IConnectionPointContainer> {
public:
    ConnectionPoints(IUnknown& outer, std::array<ConnectionPoint*, 2> points) noexcept;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) noexcept override;

private:
    std::array<ConnectionPoint*, 2> points_;
};

} // namespace rawlet::activex
