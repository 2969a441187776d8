#include "connection_point.h"

#include <algorithm>
#include <olectl.h>

#include "com_error.h"
#include "enumerator.h"

namespace rawlet::activex {

ConnectionPoint::ConnectionPoint(IUnknown& owner, REFIID iid, const IID* alternative) noexcept
    : owner_(owner), iid_(iid), alternative_(alternative)
{}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** object) noexcept
{
    if (object == nullptr)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) noexcept
{
    if (iid == nullptr)
        return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) noexcept
{
    if (container == nullptr)
        return E_POINTER;
    return owner_.QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept
{
    if (cookie == nullptr)
        return E_POINTER;
    *cookie = 0;
    if (sink == nullptr)
        return E_POINTER;
    ComPtr<IUnknown> connected;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(connected.put()))) &&
        (alternative_ == nullptr ||
         FAILED(sink->QueryInterface(*alternative_, reinterpret_cast<void**>(connected.put())))))
        return CONNECT_E_CANNOTCONNECT;
    return Guarded([&] {
        connections_.push_back({lastCookie_ + 1, std::move(connected)});
        *cookie = ++lastCookie_;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) noexcept
{
    const auto found =
        std::find_if(connections_.begin(), connections_.end(),
                     [&](const Connection& connection) { return connection.cookie == cookie; });
    if (found == connections_.end())
        return CONNECT_E_NOCONNECTION;
    // Out of the list first: the sink's last Release may call back into the control.
    const ComPtr<IUnknown> sink = std::move(found->sink);
    connections_.erase(found);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) noexcept
{
    if (connections == nullptr)
        return E_POINTER;
    *connections = nullptr;
    return Guarded([&] {
        std::vector<CONNECTDATA> items;
        for (const Connection& connection : connections_)
            items.push_back({connection.sink.get(), connection.cookie});
        Check(Enumerator<IEnumConnections, CONNECTDATA>::Create(items, 0, connections));
    });
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const
{
    std::vector<ComPtr<IUnknown>> sinks;
    for (const Connection& connection : connections_)
        sinks.push_back(connection.sink);
    return sinks;
}

ConnectionPoints::ConnectionPoints(IUnknown& outer, std::array<ConnectionPoint*, 2> points) noexcept
    : InterfacePart(outer), points_(points)
{}

HRESULT ConnectionPoints::EnumConnectionPoints(IEnumConnectionPoints** points) noexcept
{
    if (points == nullptr)
        return E_POINTER;
    *points = nullptr;
    return Guarded([&] {
        const std::vector<IConnectionPoint*> items(points_.begin(), points_.end());
        Check(Enumerator<IEnumConnectionPoints, IConnectionPoint*>::Create(items, 0, points));
    });
}

HRESULT ConnectionPoints::FindConnectionPoint(REFIID riid, IConnectionPoint** point) noexcept
{
    if (point == nullptr)
        return E_POINTER;
    *point = nullptr;
    for (ConnectionPoint* candidate : points_) {
        IID iid{};
        candidate->GetConnectionInterface(&iid);
        if (iid == riid) {
            *point = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

} // namespace rawlet::activex
