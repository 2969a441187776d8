#include "ole_control.h"

#include <olectl.h>

namespace rawlet::activex {

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) noexcept
{
    if (info == nullptr)
        return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT OleControl::OnMnemonic(MSG*) noexcept { return E_NOTIMPL; }

HRESULT OleControl::OnAmbientPropertyChange(DISPID id) noexcept
{
    if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN)
        container_.RefreshUserMode();
    return S_OK;
}

HRESULT OleControl::FreezeEvents(BOOL) noexcept { return S_OK; }

} // namespace rawlet::activex
