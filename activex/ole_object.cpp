#include "ole_object.h"

#include "Rawlet_h.h"
#include "com_error.h"

namespace rawlet::activex {

HRESULT OleObject::SetClientSite(IOleClientSite* site) noexcept
{
    if (site == nullptr)
        inPlace_.InPlaceDeactivate(); // leaving the container
    container_.SetSite(ComPtr<IOleClientSite>::Share(site));
    return S_OK;
}

HRESULT OleObject::GetClientSite(IOleClientSite** site) noexcept
{
    if (site == nullptr)
        return E_POINTER;
    *site = ComPtr<IOleClientSite>(container_.Site()).detach();
    return S_OK;
}

HRESULT OleObject::SetHostNames(LPCOLESTR, LPCOLESTR) noexcept { return S_OK; }

// Closing does not end the control: only its release does (and closes an open queue then).
HRESULT OleObject::Close(DWORD saveOption) noexcept
{
    inPlace_.InPlaceDeactivate();
    const bool save = saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE;
    if (save && container_.Dirty() && container_.Site())
        container_.Site()->SaveObject();
    if (IOleAdviseHolder* holder = container_.AdviseHolder())
        holder->SendOnClose();
    return S_OK;
}

HRESULT OleObject::SetMoniker(DWORD, IMoniker*) noexcept { return E_NOTIMPL; }

HRESULT OleObject::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT OleObject::InitFromData(IDataObject*, BOOL, DWORD) noexcept { return E_NOTIMPL; }

HRESULT OleObject::GetClipboardData(DWORD, IDataObject** data) noexcept
{
    if (data != nullptr)
        *data = nullptr;
    return E_NOTIMPL;
}

// Showing the control is activating it in place; it has no window to open and no
// property pages.
HRESULT OleObject::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) noexcept
{
    IOleClientSite* site = container_.Site() ? container_.Site().get() : activeSite;
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return inPlace_.Activate(site);
    case OLEIVERB_HIDE:
        return inPlace_.InPlaceDeactivate();
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        if (verb > 0) { // a verb of the container's menu we do not have: the primary one
            const HRESULT result = inPlace_.Activate(site);
            return FAILED(result) ? result : OLEOBJ_S_INVALIDVERB;
        }
        return E_NOTIMPL;
    }
}

HRESULT OleObject::EnumVerbs(IEnumOLEVERB** verbs) noexcept
{
    if (verbs == nullptr)
        return E_POINTER;
    return OleRegEnumVerbs(CLSID_Rawlet, verbs);
}

HRESULT OleObject::Update() noexcept { return S_OK; }
HRESULT OleObject::IsUpToDate() noexcept { return S_OK; }

HRESULT OleObject::GetUserClassID(CLSID* clsid) noexcept
{
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = CLSID_Rawlet;
    return S_OK;
}

HRESULT OleObject::GetUserType(DWORD, LPOLESTR* type) noexcept
{
    if (type != nullptr)
        *type = nullptr;
    return OLE_S_USEREG; // the registered name
}

// Whatever size the container asks for, the control snaps back to its icon (Resize);
// GetExtent tells the size it took.
HRESULT OleObject::SetExtent(DWORD aspect, SIZEL* size) noexcept
{
    if (size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    return Guarded([&] { control_.Resize(); });
}

HRESULT OleObject::GetExtent(DWORD aspect, SIZEL* size) noexcept
{
    if (size == nullptr)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    *size = container_.Extent();
    return S_OK;
}

HRESULT OleObject::Advise(IAdviseSink* sink, DWORD* connection) noexcept
{
    IOleAdviseHolder* holder = container_.AdviseHolder();
    return holder ? holder->Advise(sink, connection) : E_OUTOFMEMORY;
}

HRESULT OleObject::Unadvise(DWORD connection) noexcept
{
    IOleAdviseHolder* holder = container_.AdviseHolder();
    return holder ? holder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT OleObject::EnumAdvise(IEnumSTATDATA** advise) noexcept
{
    IOleAdviseHolder* holder = container_.AdviseHolder();
    return holder ? holder->EnumAdvise(advise) : E_OUTOFMEMORY;
}

HRESULT OleObject::GetMiscStatus(DWORD aspect, DWORD* status) noexcept
{
    if (status == nullptr)
        return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
    return S_OK;
}

HRESULT OleObject::SetColorScheme(LOGPALETTE*) noexcept { return E_NOTIMPL; }

} // namespace rawlet::activex
