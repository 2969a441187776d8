// The four entry points every in-process COM server has, and the load entry point.
#include <windows.h>

#include "Rawlet_h.h"
#include "class_factory.h"
#include "module.h"
#include "registration.h"

using namespace rawlet::activex;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    // Thread notifications stay on: the static C++ run time needs them for thread_local.
    if (reason == DLL_PROCESS_ATTACH)
        module::SetInstance(instance);
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (clsid != CLSID_Rawlet)
        return CLASS_E_CLASSNOTAVAILABLE;
    return TheClassFactory().QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow() { return module::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return registration::Register(); }

STDAPI DllUnregisterServer() { return registration::Unregister(); }
