// The module's entry points and the conversion of the control's errors for COM callers.
#include <gtest/gtest.h>
#include <objsafe.h>

#include "com_error.h"
#include "dispatch.h"

namespace rawlet::test {
namespace {

TEST(Module, UnloadsOnlyWithoutObjectsOrLocks)
{
    auto factory = Ocx::Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(Ocx::CanUnloadNow(), S_OK);
    {
        auto object = Ocx::Create();
        ASSERT_TRUE(object);
        EXPECT_EQ(Ocx::CanUnloadNow(), S_FALSE);
        auto second = Ocx::Create();
        object.reset();
        EXPECT_EQ(Ocx::CanUnloadNow(), S_FALSE) << "one object is still alive";
    }
    EXPECT_EQ(Ocx::CanUnloadNow(), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(Ocx::CanUnloadNow(), S_FALSE);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(Ocx::CanUnloadNow(), S_OK);
}

TEST(Module, ClassFactoryHandsOutOnlyRawlet)
{
    auto* get = Ocx::Export<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject");
    ASSERT_NE(get, nullptr);
    void* object = nullptr;
    EXPECT_EQ(get(IID__Rawlet, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    auto factory = Ocx::Factory();
    ComPtr<IUnknown> outer = factory.As<IUnknown>();
    ComPtr<_Rawlet> aggregated;
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, reinterpret_cast<void**>(aggregated.put())),
              CLASS_E_NOAGGREGATION);
    ComPtr<IStream> wrong;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IStream, reinterpret_cast<void**>(wrong.put())),
              E_NOINTERFACE);
    EXPECT_EQ(Ocx::CanUnloadNow(), S_OK) << "a refused creation leaves no object behind";
}

TEST(Module, ObjectsSayTheInterfaceSupportsErrorInfo)
{
    auto object = Ocx::Create();
    auto support = object.As<ISupportErrorInfo>();
    ASSERT_TRUE(support);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Rawlet), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IClassFactory), S_FALSE);
    EXPECT_TRUE(object.As<IDispatch>());
}

// A web page must not send raw bytes to a user's printer unasked: the control does not say it
// is safe for scripting or for initialisation by an untrusted caller.
TEST(Module, ObjectsAreNotMarkedSafeForScripting)
{
    auto object = Ocx::Create();
    ASSERT_TRUE(object);
    void* safety = &safety;
    EXPECT_EQ(object->QueryInterface(IID_IObjectSafety, &safety), E_NOINTERFACE);
    EXPECT_EQ(safety, nullptr);
}

TEST(ErrorConversion, TheControlsTextsPassUnchanged)
{
    const HRESULT result = activex::ReportError(Error(32034, "Rawleter", "Error occur with  EndDoc "));
    EXPECT_EQ(result, static_cast<HRESULT>(0x800A7D22));
    EXPECT_EQ(LastErrorInfo(),
              std::make_pair(std::wstring(L"Rawleter"), std::wstring(L"Error occur with  EndDoc ")));
}

TEST(ErrorConversion, AnErrorWithoutTextsGetsTheHostsStandardText)
{
    const HRESULT result = activex::ReportError(Error(387, "", ""));
    EXPECT_EQ(result, static_cast<HRESULT>(0x800A0183));
    EXPECT_EQ(LastErrorInfo(), std::make_pair(std::wstring(L"Rawleter"), std::wstring(L"Set not permitted")));
}

TEST(ErrorConversion, InvokeGetsTheErrorAsAnException)
{
    activex::ReportError(Error(32037, "Rawleter", "error occur while write data to the printer"));
    EXCEPINFO exception{};
    EXPECT_EQ(activex::ToDispatchException(static_cast<HRESULT>(0x800A7D25), &exception), DISP_E_EXCEPTION);
    const Bstr source = Bstr::Attach(exception.bstrSource);
    const Bstr description = Bstr::Attach(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    EXPECT_EQ(exception.scode, static_cast<HRESULT>(0x800A7D25));
    EXPECT_EQ(source.view(), L"Rawleter");
    EXPECT_EQ(description.view(), L"error occur while write data to the printer");
    EXPECT_EQ(activex::ToDispatchException(DISP_E_TYPEMISMATCH, &exception), DISP_E_TYPEMISMATCH)
        << "dispatch's own errors pass as they are";
}

TEST(ErrorConversion, NoExceptionLeavesAGuardedCall)
{
    EXPECT_EQ(activex::Guarded([] { throw Error(32000, "Rawleter", "The printer name is not valid"); }),
              static_cast<HRESULT>(0x800A7D00));
    EXPECT_EQ(activex::Guarded([] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(activex::Guarded([] { throw 42; }), E_UNEXPECTED);
    EXPECT_EQ(activex::Guarded([] {}), S_OK);
}

} // namespace
} // namespace rawlet::test
