#include "quick_activate.h"

#include <cstddef>

#include "Rawlet_h.h"
#include "com_ptr.h"

namespace rawlet::activex {

namespace {

template <class Interface> ComPtr<Interface> Own(IUnknown& object) noexcept
{
    return ComPtr<IUnknown>::Share(&object).As<Interface>();
}

// The sink connected to the control's connection point `iid`, by its cookie; 0 when there is
// no sink or it cannot be connected, as Advise would tell the slow path.
DWORD Connect(IUnknown& object, REFIID iid, IUnknown* sink) noexcept
{
    DWORD cookie = 0;
    ComPtr<IConnectionPoint> point;
    const auto points = Own<IConnectionPointContainer>(object);
    if (sink != nullptr && points && SUCCEEDED(points->FindConnectionPoint(iid, point.put())) &&
        FAILED(point->Advise(sink, &cookie)))
        cookie = 0;
    return cookie;
}

// Older containers pass shorter structures: each must reach at least the last field read or
// written unconditionally.
constexpr ULONG kContainerFields = offsetof(QACONTAINER, dwAmbientFlags) + sizeof(DWORD);
constexpr ULONG kControlFields = offsetof(QACONTROL, dwPropNotifyCookie) + sizeof(DWORD);

} // namespace

HRESULT QuickActivation::QuickActivate(QACONTAINER* container, QACONTROL* control) noexcept
{
    if (container == nullptr || control == nullptr)
        return E_POINTER;
    if (container->cbSize < kContainerFields || control->cbSize < kControlFields)
        return E_INVALIDARG;
    const auto object = Own<IOleObject>(outer());
    if (const HRESULT result = object->SetClientSite(container->pClientSite); FAILED(result))
        return result;
    container_.SetUserMode((container->dwAmbientFlags & QACONTAINER_USERMODE) != 0);
    if (container->pAdviseSink != nullptr)
        Own<IViewObject>(outer())->SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwPropNotifyCookie = Connect(outer(), IID_IPropertyNotifySink, container->pPropertyNotifySink);
    control->dwEventCookie = Connect(outer(), DIID___Rawlet, container->pUnkEventSink);
    object->GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
    control->dwViewStatus = kViewStatus;
    if (control->cbSize >= sizeof(QACONTROL))
        control->dwPointerActivationPolicy = 0; // no IPointerInactive
    return S_OK;
}

HRESULT QuickActivation::SetContentExtent(LPSIZEL size) noexcept
{
    return Own<IOleObject>(outer())->SetExtent(DVASPECT_CONTENT, size);
}

HRESULT QuickActivation::GetContentExtent(LPSIZEL size) noexcept
{
    return Own<IOleObject>(outer())->GetExtent(DVASPECT_CONTENT, size);
}

} // namespace rawlet::activex
