// Thousands of random late-bound calls: real and made-up dispatch ids, every invoke kind,
// random argument counts, VARIANT types and named arguments. None may crash, and the object
// must still work and keep its Closed/Printing state sound afterwards. The calls run on a
// thread of their own, so the printer handle the other tests leave on theirs is out of reach
// and nothing is printed.
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

#include "dispatch.h"

namespace rawlet::test {
namespace {

constexpr HRESULT kNoDocument = static_cast<HRESULT>(0x800A7D21); // 32033

class RandomCalls {
public:
    explicit RandomCalls(IDispatch* object) : object_(object) {}

    void Run(int calls)
    {
        for (int call = 0; call < calls; ++call) {
            std::vector<Variant> arguments;
            for (int count = Below(4); count > 0; --count)
                arguments.push_back(RandomValue());
            std::vector<VARIANT> borrowed;
            for (const Variant& argument : arguments)
                borrowed.push_back(*argument.get());
            std::vector<DISPID> names(static_cast<std::size_t>(Below(static_cast<int>(borrowed.size()) + 1)));
            for (DISPID& name : names)
                name = Below(3) == 0 ? DISPID_PROPERTYPUT : Below(5) - 1;
            DISPPARAMS params{borrowed.data(), names.data(), static_cast<UINT>(borrowed.size()),
                              static_cast<UINT>(names.size())};
            const Outcome outcome = Raw(object_, RandomId(), RandomFlags(), &params);
            ASSERT_NE(outcome.result, E_UNEXPECTED) << "call " << call;
        }
    }

private:
    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random_); }

    DISPID RandomId()
    {
        // Every member but About, whose dialog waits for a user.
        static const DISPID kIds[] = {0,          0x60030003, 0x60030004, 0x60030006, 0x68030002, 0x6003000B,
                                      0x6003000C, 0x68030001, 0x68030000, -4,         -1};
        const DISPID madeUp = static_cast<DISPID>(random_());
        return Below(5) == 0 && madeUp != DISPID_ABOUTBOX ? madeUp
                                                          : kIds[Below(static_cast<int>(std::size(kIds)))];
    }

    WORD RandomFlags()
    {
        static const WORD kFlags[] = {DISPATCH_METHOD,
                                      DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYPUT,
                                      DISPATCH_PROPERTYPUTREF,
                                      DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      0,
                                      0xFFFF};
        return kFlags[Below(static_cast<int>(std::size(kFlags)))];
    }

    std::wstring RandomText()
    {
        std::wstring text(static_cast<std::size_t>(Below(3) == 0 ? Below(5000) : Below(20)), L'\0');
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(Below(0x10000));
        return text;
    }

    Variant RandomValue()
    {
        Variant value;
        switch (Below(10)) {
        case 0:
            return value; // VT_EMPTY
        case 1:
            value->vt = VT_NULL;
            return value;
        case 2:
            return Integer(static_cast<int>(random_()));
        case 3:
            return Boolean(Below(2) == 1);
        case 4:
            value->vt = VT_R8;
            value->dblVal = static_cast<double>(random_()) / 7.0;
            return value;
        case 5:
            value->vt = VT_DISPATCH; // a null object
            return value;
        case 6:
            value->vt = VT_ERROR;
            value->scode = DISP_E_PARAMNOTFOUND; // an omitted optional argument
            return value;
        case 7:
            value->vt = VT_ARRAY | VT_UI1;
            value->parray = SafeArrayCreateVector(VT_UI1, 0, 3);
            return value;
        default:
            return Text(RandomText());
        }
    }

    IDispatch* object_;
    std::mt19937 random_{20261208};
};

TEST(InvokeFuzz, RandomCallsNeverCrashAndLeaveTheObjectSound)
{
    std::thread apartment([] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            ComPtr<_Rawlet> object = Ocx::Create();
            ASSERT_TRUE(object);
            ComPtr<IDispatch> dispatch = object.As<IDispatch>();
            RandomCalls(dispatch.get()).Run(5000);

            ASSERT_EQ(Put(dispatch.get(), 0x68030000, Text(L"after the storm")).result, S_OK);
            const Outcome name = Get(dispatch.get(), 0x68030000);
            ASSERT_EQ(name.value->vt, VT_BSTR);
            EXPECT_EQ(Bstr::View(name.value->bstrVal), L"after the storm");
            // Closed after PrinterClose, whatever came before: EndPage finds no document.
            EXPECT_EQ(Method(dispatch.get(), 0x60030004).result, S_OK);
            const Outcome endPage = Method(dispatch.get(), 0x6003000C);
            EXPECT_EQ(endPage.result, DISP_E_EXCEPTION);
            EXPECT_EQ(endPage.scode, kNoDocument);
        }
        CoUninitialize();
    });
    apartment.join();
}

} // namespace
} // namespace rawlet::test
