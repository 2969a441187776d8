#include "com_host.h"

#include "about_dialog.h"
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

// Modal over the calling thread's active window (the container's form), if it has one.
void ComHost::ShowAboutDialog() { about::ShowAboutDialog(GetActiveWindow()); }

} // namespace rawlet::activex
