#pragma once

// Rawlet.ocx loaded the way a container loads it: the module by its path, the class
// factory from DllGetClassObject, the type library from the module's resource. Nothing
// goes through the registry.

#include <string>
#include <windows.h>

// wingdi's StartDoc macro would rename the member of that name in _Rawlet.
#undef StartDoc
#include "Rawlet_h.h"
#include "com_ptr.h"

namespace rawlet::test {

using activex::ComPtr;

// The module under test; its path comes from the command line (see main.cpp).
class Ocx {
public:
    static void SetPath(std::wstring path) { Stored() = std::move(path); }
    static const std::wstring& Path() { return Stored(); }
    static HMODULE Module();

    template <class Function> static Function* Export(const char* name)
    {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(Module(), name)));
    }

    static HRESULT CanUnloadNow();
    static ComPtr<IClassFactory> Factory();
    static ComPtr<_Rawlet> Create();
    static ComPtr<ITypeLib> TypeLibrary();

private:
    static std::wstring& Stored()
    {
        static std::wstring path;
        return path;
    }
};

// The printer the scheduler was given for these tests (environment RAWLET_TEST_PRINTER).
std::wstring TestPrinter();

} // namespace rawlet::test
