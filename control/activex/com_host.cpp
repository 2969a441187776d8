#include "com_host.h"

#include <olectl.h>

#include "variant.h"

namespace rawlet::activex {

void ComHost::PropertyChanged(std::string_view) {}

bool ComHost::AmbientUserMode()
{
    const auto ambient = site_.As<IDispatch>();
    if (!ambient)
        return true;
    DISPPARAMS none{};
    Variant value;
    const HRESULT result = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                           DISPATCH_PROPERTYGET, &none, value.get(), nullptr, nullptr);
    if (FAILED(result) || value->vt != VT_BOOL)
        return true; // a container that does not say is an application, not a designer
    return value->boolVal != VARIANT_FALSE;
}

void ComHost::RaiseError(const Error& error) { throw error; }

void ComHost::SetControlSize(int, int) {}

// A stand-in until the About dialog exists: it shows nothing, because a modal box would
// hold up every script that calls About with nobody there to close it.
void ComHost::ShowAboutDialog() { OutputDebugStringA("Rawleter: About\n"); }

} // namespace rawlet::activex
