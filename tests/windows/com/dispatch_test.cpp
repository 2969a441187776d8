// Every member through the vtable and through IDispatch::Invoke, by id and by name, and
// bad input through Invoke. Printing goes to the scheduler's test printer; the runner
// checks the jobs it received.
#include <gtest/gtest.h>
#include <string>

#include "dispatch.h"

namespace rawlet::test {
namespace {

constexpr DISPID kKillDocument = 0x60030003;
constexpr DISPID kPrinterClose = 0x60030004;
constexpr DISPID kStartDoc = 0x60030006;
constexpr DISPID kPrinterName = 0x68030002;
constexpr DISPID kEndDoc = 0x6003000B;
constexpr DISPID kEndPage = 0x6003000C;
constexpr DISPID kPrinterTranslate = 0x68030001;
constexpr DISPID kPrinterDocumentName = 0x68030000;
constexpr HRESULT kNameNotValid = static_cast<HRESULT>(0x800A7D00); // 32000
constexpr HRESULT kNoDocument = static_cast<HRESULT>(0x800A7D21);   // 32033

std::wstring TextOf(const Outcome& outcome)
{
    return outcome.value->vt == VT_BSTR ? std::wstring(Bstr::View(outcome.value->bstrVal)) : L"(not text)";
}

class Dispatch : public testing::Test {
protected:
    void SetUp() override
    {
        object = Ocx::Create();
        ASSERT_TRUE(object) << "the class factory made no object";
        dispatch = object.As<IDispatch>();
    }

    std::wstring VtableText(HRESULT (STDMETHODCALLTYPE _Rawlet::*getter)(BSTR*))
    {
        Bstr value;
        EXPECT_EQ((object.get()->*getter)(value.put()), S_OK);
        return std::wstring(value.view());
    }

    ComPtr<_Rawlet> object;
    ComPtr<IDispatch> dispatch;
};

TEST_F(Dispatch, NamesMapToTheirIdsWithoutRegardToCase)
{
    const std::pair<const wchar_t*, DISPID> names[] = {
        {L"killDocument", kKillDocument},
        {L"PrinterClose", kPrinterClose},
        {L"StartDoc", kStartDoc},
        {L"PrinterName", kPrinterName},
        {L"PrinterData", DISPID_VALUE},
        {L"EndDoc", kEndDoc},
        {L"EndPage", kEndPage},
        {L"PrinterTranslate", kPrinterTranslate},
        {L"PrinterDocumentName", kPrinterDocumentName},
        {L"About", DISPID_ABOUTBOX},
        {L"KILLDOCUMENT", kKillDocument},
        {L"printername", kPrinterName},
    };
    for (const auto& [name, id] : names)
        EXPECT_EQ(IdOf(dispatch.get(), name), id) << testing::PrintToString(std::wstring(name));

    LPOLESTR unknown = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID__Rawlet, &unknown, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(Dispatch, TypeInfoIsTheInterfaces)
{
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    info->GetTypeAttr(&attributes);
    EXPECT_EQ(attributes->guid, IID__Rawlet);
    info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.put()), DISP_E_BADINDEX);
}

TEST_F(Dispatch, TextPropertiesReachTheSameValueEitherWay)
{
    Bstr byVtable(L"set through the vtable ");
    ASSERT_EQ(object->put_PrinterDocumentName(byVtable.get()), S_OK);
    EXPECT_EQ(TextOf(Get(dispatch.get(), kPrinterDocumentName)), L"set through the vtable ");
    EXPECT_EQ(TextOf(Get(dispatch.get(), IdOf(dispatch.get(), L"PrinterDocumentName"))),
              L"set through the vtable ");

    ASSERT_EQ(Put(dispatch.get(), IdOf(dispatch.get(), L"PrinterDocumentName"), Text(L"by name")).result,
              S_OK);
    EXPECT_EQ(VtableText(&_Rawlet::get_PrinterDocumentName), L"by name");
    ASSERT_EQ(Put(dispatch.get(), kPrinterDocumentName, Text(L"by id")).result, S_OK);
    EXPECT_EQ(VtableText(&_Rawlet::get_PrinterDocumentName), L"by id");
}

TEST_F(Dispatch, BooleanPropertyEitherWayAndCoercedFromOtherTypes)
{
    ASSERT_EQ(object->put_PrinterTranslate(VARIANT_TRUE), S_OK);
    Outcome read = Get(dispatch.get(), kPrinterTranslate);
    ASSERT_EQ(read.result, S_OK);
    EXPECT_EQ(read.value->vt, VT_BOOL);
    EXPECT_EQ(read.value->boolVal, VARIANT_TRUE);

    ASSERT_EQ(Put(dispatch.get(), IdOf(dispatch.get(), L"PrinterTranslate"), Boolean(false)).result, S_OK);
    VARIANT_BOOL value = VARIANT_TRUE;
    ASSERT_EQ(object->get_PrinterTranslate(&value), S_OK);
    EXPECT_EQ(value, VARIANT_FALSE);

    // Automation's coercion applies as for any client: a number converts to a boolean.
    ASSERT_EQ(Put(dispatch.get(), kPrinterTranslate, Integer(1)).result, S_OK);
    ASSERT_EQ(object->get_PrinterTranslate(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE);
}

TEST_F(Dispatch, PrinterNameEitherWayWithTheControlsErrors)
{
    const std::wstring printer = TestPrinter();
    ASSERT_FALSE(printer.empty()) << "RAWLET_TEST_PRINTER names no printer";
    std::wstring shouted = printer;
    for (auto& c : shouted)
        c = static_cast<wchar_t>(towupper(c));
    ASSERT_EQ(Put(dispatch.get(), kPrinterName, Text(shouted)).result, S_OK);
    EXPECT_EQ(VtableText(&_Rawlet::get_PrinterName), printer) << "stored as the system spells it";

    Bstr unknown(L"no such printer");
    EXPECT_EQ(object->put_PrinterName(unknown.get()), kNameNotValid);
    EXPECT_EQ(LastErrorInfo(),
              std::make_pair(std::wstring(L"Rawleter"), std::wstring(L"The printer name is not valid")));

    const Outcome late = Put(dispatch.get(), IdOf(dispatch.get(), L"PrinterName"), Text(L"no such printer"));
    EXPECT_EQ(late.result, DISP_E_EXCEPTION);
    EXPECT_EQ(late.scode, kNameNotValid);
    EXPECT_EQ(late.source.view(), L"Rawleter");
    EXPECT_EQ(late.description.view(), L"The printer name is not valid");
    EXPECT_EQ(TextOf(Get(dispatch.get(), kPrinterName)), printer) << "a refused name changes nothing";
}

// Assigning to the control itself prints: the runner expects this text as one job.
TEST_F(Dispatch, TheDefaultMemberIsPrinterData)
{
    ASSERT_EQ(Put(dispatch.get(), kPrinterName, Text(TestPrinter())).result, S_OK);
    ASSERT_EQ(Put(dispatch.get(), DISPID_VALUE, Text(L"assigned to the control itself")).result, S_OK);
    EXPECT_EQ(VtableText(&_Rawlet::get_PrinterData), L"assigned to the control itself");
    EXPECT_EQ(TextOf(Get(dispatch.get(), DISPID_VALUE)), L"assigned to the control itself");
    EXPECT_EQ(TextOf(Get(dispatch.get(), IdOf(dispatch.get(), L"PrinterData"))),
              L"assigned to the control itself");
    ASSERT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"PrinterClose")).result, S_OK);
    EXPECT_EQ(TextOf(Get(dispatch.get(), DISPID_VALUE)), L"") << "reads empty once the queue is closed";
}

// One job, "page 1page 2\r", built with every method reached one way or the other.
TEST_F(Dispatch, EveryMethodEitherWay)
{
    EXPECT_EQ(object->EndPage(), kNoDocument);
    EXPECT_EQ(LastErrorInfo(),
              std::make_pair(std::wstring(L"Rawleter"), std::wstring(L"You must first start a document")));
    const Outcome closed = Method(dispatch.get(), kEndPage);
    EXPECT_EQ(closed.result, DISP_E_EXCEPTION);
    EXPECT_EQ(closed.scode, kNoDocument);

    ASSERT_EQ(Put(dispatch.get(), kPrinterName, Text(TestPrinter())).result, S_OK);
    ASSERT_EQ(object->StartDoc(), S_OK);
    // Inside the document a StartDoc starts nothing new.
    EXPECT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"StartDoc")).result, S_OK);
    EXPECT_EQ(Method(dispatch.get(), kStartDoc).result, S_OK);
    Bstr page1(L"page 1");
    ASSERT_EQ(object->put_PrinterData(page1.get()), S_OK);
    EXPECT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"EndPage")).result, S_OK);
    EXPECT_EQ(object->EndPage(), S_OK);
    ASSERT_EQ(Put(dispatch.get(), DISPID_VALUE, Text(L"page 2")).result, S_OK);
    EXPECT_EQ(object->EndDoc(), S_OK);
    EXPECT_EQ(TextOf(Get(dispatch.get(), DISPID_VALUE)), L"");

    // Closed now: these end nothing and print nothing.
    EXPECT_EQ(Method(dispatch.get(), kEndDoc).result, S_OK);
    EXPECT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"EndDoc")).result, S_OK);
    EXPECT_EQ(object->PrinterClose(), S_OK);
    EXPECT_EQ(Method(dispatch.get(), kPrinterClose).result, S_OK);
    EXPECT_EQ(Method(dispatch.get(), kKillDocument).result, S_OK);
    EXPECT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"killDocument")).result, S_OK);
    EXPECT_EQ(object->killDocument(), S_OK);

    EXPECT_EQ(object->About(), S_OK);
    EXPECT_EQ(Method(dispatch.get(), DISPID_ABOUTBOX).result, S_OK);
    EXPECT_EQ(Method(dispatch.get(), IdOf(dispatch.get(), L"About")).result, S_OK);
}

TEST_F(Dispatch, BadInputIsAnErrorNeverACrash)
{
    Variant argument = Text(L"x");
    DISPPARAMS one{argument.get(), nullptr, 1, 0};
    DISPPARAMS none{};
    const auto failed = [](const Outcome& outcome) {
        return FAILED(outcome.result) && outcome.result != E_UNEXPECTED;
    };

    EXPECT_PRED1(failed, Raw(dispatch.get(), kEndPage, DISPATCH_METHOD, &one)) << "an argument to a method";
    EXPECT_PRED1(failed, Raw(dispatch.get(), kPrinterName, DISPATCH_PROPERTYGET, &one))
        << "an argument to a getter";
    EXPECT_PRED1(failed, Raw(dispatch.get(), kPrinterName, DISPATCH_PROPERTYPUT, &none))
        << "a setter without value";
    EXPECT_EQ(Raw(dispatch.get(), 0x12345, DISPATCH_METHOD, &none).result, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Raw(dispatch.get(), kEndPage, DISPATCH_METHOD, &none, IID__Rawlet).result,
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(Raw(dispatch.get(), kEndPage, DISPATCH_METHOD, nullptr).result, E_INVALIDARG);
    EXPECT_PRED1(failed, Raw(dispatch.get(), kEndPage, DISPATCH_PROPERTYPUT, &one))
        << "assigning to a method";

    DISPID namedId = 7;
    DISPPARAMS named{argument.get(), &namedId, 1, 1};
    EXPECT_PRED1(failed, Raw(dispatch.get(), kStartDoc, DISPATCH_METHOD, &named)) << "a named argument";
    EXPECT_PRED1(failed, Raw(dispatch.get(), kPrinterName, DISPATCH_PROPERTYPUT, &named))
        << "a setter's value under another name";

    EXPECT_EQ(Put(dispatch.get(), kPrinterTranslate, Text(L"not a boolean")).result, DISP_E_TYPEMISMATCH);
    Variant array;
    array->vt = VT_ARRAY | VT_I4; // unlike a byte array, no text
    array->parray = SafeArrayCreateVector(VT_I4, 0, 4);
    EXPECT_EQ(Put(dispatch.get(), kPrinterName, array).result, DISP_E_TYPEMISMATCH);
    Variant nothing;
    nothing->vt = VT_DISPATCH;
    nothing->pdispVal = nullptr;
    EXPECT_PRED1(failed, Put(dispatch.get(), kPrinterDocumentName, nothing)) << "an empty object for text";

    const Outcome number = Put(dispatch.get(), kPrinterName, Integer(12345));
    EXPECT_EQ(number.result, DISP_E_EXCEPTION) << "a number becomes the name \"12345\", which is no printer";
    EXPECT_EQ(number.scode, kNameNotValid);

    const Outcome huge = Put(dispatch.get(), kPrinterName, Text(std::wstring(100000, L'x')));
    EXPECT_EQ(huge.result, DISP_E_EXCEPTION);
    EXPECT_EQ(huge.scode, kNameNotValid);
    EXPECT_EQ(huge.description.view(), L"The printer name is not valid");

    ASSERT_EQ(Put(dispatch.get(), kPrinterDocumentName, Text(L"still working")).result, S_OK);
    EXPECT_EQ(VtableText(&_Rawlet::get_PrinterDocumentName), L"still working");
}

TEST_F(Dispatch, NullOutPointersAreRefused)
{
    EXPECT_EQ(object->get_PrinterName(nullptr), E_POINTER);
    EXPECT_EQ(object->get_PrinterData(nullptr), E_POINTER);
    EXPECT_EQ(object->get_PrinterTranslate(nullptr), E_POINTER);
    EXPECT_EQ(object->get_PrinterDocumentName(nullptr), E_POINTER);
    EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);
}

} // namespace
} // namespace rawlet::test
