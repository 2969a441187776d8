#include "ocx.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace rawlet::test {

HMODULE Ocx::Module()
{
    static HMODULE module = LoadLibraryW(Path().c_str());
    return module;
}

HRESULT Ocx::CanUnloadNow() { return Export<HRESULT STDAPICALLTYPE()>("DllCanUnloadNow")(); }

ComPtr<IClassFactory> Ocx::Factory()
{
    ComPtr<IClassFactory> factory;
    auto* get = Export<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    if (get != nullptr)
        get(CLSID_Rawlet, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    return factory;
}

ComPtr<_Rawlet> Ocx::Create()
{
    ComPtr<_Rawlet> object;
    if (auto factory = Factory())
        factory->CreateInstance(nullptr, IID__Rawlet, reinterpret_cast<void**>(object.put()));
    return object;
}

ComPtr<ITypeLib> Ocx::TypeLibrary()
{
    ComPtr<ITypeLib> library;
    LoadTypeLibEx(Path().c_str(), REGKIND_NONE, library.put());
    return library;
}

std::wstring TestPrinter()
{
    const char* name = std::getenv("RAWLET_TEST_PRINTER");
    return name ? std::wstring(name, name + std::char_traits<char>::length(name)) : L"";
}

} // namespace rawlet::test
