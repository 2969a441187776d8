// Loading and saving through the container's property bag and stream. Queues: "cload" must
// receive nothing (loading never prints), "ctranslate" the translated first write.
#include <gtest/gtest.h>

#include "embedded.h"

namespace rawlet::test {
namespace {

VARIANT Boolean(bool value)
{
    VARIANT boolean{};
    boolean.vt = VT_BOOL;
    boolean.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return boolean;
}

ComPtr<TestBag> FourKeys(const std::wstring& printer, bool translate)
{
    auto bag = Make<TestBag>();
    bag->SetText(L"PrinterName", printer);
    bag->SetText(L"PrinterData", L"saved, never printed");
    bag->Set(L"LocaleTranslate", Boolean(translate));
    bag->SetText(L"PrinterDocumentName", L"Saved document");
    return bag;
}

HRESULT Load(const ComPtr<_Rawlet>& control, TestBag* bag)
{
    return As<IPersistPropertyBag>(control)->Load(bag, nullptr);
}

ComPtr<IStream> StreamOf(const std::string& bytes)
{
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    return stream;
}

std::string BytesOf(IStream* stream)
{
    STATSTG status{};
    stream->Stat(&status, STATFLAG_NONAME);
    std::string bytes(static_cast<std::size_t>(status.cbSize.QuadPart), '\0');
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

ULONGLONG Position(IStream* stream)
{
    ULARGE_INTEGER position{};
    stream->Seek({}, STREAM_SEEK_CUR, &position);
    return position.QuadPart;
}

TEST(Persistence, LoadTakesTheFourKeysWithoutPrintingOrNotifying)
{
    auto site = Make<TestSite>(true);
    auto control = CreateControl(site.get());
    auto sink = Make<PropertySink>();
    Connect(control.get(), IID_IPropertyNotifySink, sink.get());

    ASSERT_EQ(Load(control, FourKeys(L"cload", true).get()), S_OK);
    EXPECT_EQ(PrinterName(control.get()), L"cload");
    EXPECT_EQ(Saved(control)->Text(L"PrinterData"), L"saved, never printed");
    EXPECT_EQ(PrinterData(control.get()), L""); // no queue was opened
    EXPECT_TRUE(Translate(control.get()));
    EXPECT_EQ(DocumentName(control.get()), L"Saved document");
    EXPECT_TRUE(sink->changed.empty());
    EXPECT_EQ(As<IPersistStreamInit>(control)->IsDirty(), S_FALSE);
}

TEST(Persistence, AbsentKeysTakeDefaultsAndUnreadableOnesLeaveTheirField)
{
    auto control = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(control->put_PrinterName(Bstr(L"cload").get()), S_OK);
    ASSERT_EQ(control->put_PrinterTranslate(VARIANT_TRUE), S_OK);
    ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"kept").get()), S_OK);

    auto bag = Make<TestBag>(); // no PrinterName
    bag->unreadable.insert(L"LocaleTranslate");
    VARIANT object{};
    object.vt = VT_UNKNOWN; // no text can be made of it
    object.punkVal = Make<PropertySink>().detach();
    bag->Set(L"PrinterDocumentName", object);
    VariantClear(&object);
    bag->SetText(L"PrinterData", L"read after an unreadable key");

    ASSERT_EQ(Load(control, bag.get()), S_OK);
    EXPECT_EQ(PrinterName(control.get()), L"");
    EXPECT_EQ(Saved(control)->Text(L"PrinterData"), L"read after an unreadable key");
    EXPECT_TRUE(Translate(control.get()));
    EXPECT_EQ(DocumentName(control.get()), L"kept");
}

TEST(Persistence, APrinterNoLongerInstalledLoadsAndFailsAtTheFirstWrite)
{
    auto control = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(Load(control, FourKeys(L"No such printer", false).get()), S_OK);
    EXPECT_EQ(PrinterName(control.get()), L"No such printer");
    EXPECT_EQ(control->put_PrinterData(Bstr(L"x").get()), kNameNotValid);
    EXPECT_EQ(ErrorDescription(), L"Printer name is not valid");
}

TEST(Persistence, ALoadedTranslationAppliesToTheFirstWrite)
{
    auto control = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(Load(control, FourKeys(L"ctranslate", true).get()), S_OK);
    EXPECT_EQ(control->put_PrinterData(Bstr(L"\u00e9A").get()), S_OK); // 0x82 'A' in code page 437
    EXPECT_EQ(control->PrinterClose(), S_OK);
}

TEST(Persistence, SaveWritesTheFourKeysAndAnotherInstanceLoadsThem)
{
    auto saved = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(Load(saved, FourKeys(L"cload", true).get()), S_OK);
    ASSERT_EQ(saved->put_PrinterDocumentName(Bstr(L"Changed in the designer").get()), S_OK);
    EXPECT_EQ(As<IPersistStreamInit>(saved)->IsDirty(), S_OK);

    auto bag = Make<TestBag>();
    ASSERT_EQ(As<IPersistPropertyBag>(saved)->Save(bag.get(), TRUE, FALSE), S_OK);
    EXPECT_EQ(As<IPersistStreamInit>(saved)->IsDirty(), S_FALSE);
    const std::vector<std::wstring> keys{L"PrinterName", L"PrinterData", L"LocaleTranslate",
                                         L"PrinterDocumentName"};
    EXPECT_EQ(bag->written, keys);
    ASSERT_NE(bag->Find(L"LocaleTranslate"), nullptr);
    EXPECT_EQ(bag->Find(L"LocaleTranslate")->vt, VT_BOOL);

    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ASSERT_EQ(As<IPersistStreamInit>(saved)->Save(stream.get(), TRUE), S_OK);
    ULARGE_INTEGER size{};
    ASSERT_EQ(As<IPersistStreamInit>(saved)->GetSizeMax(&size), S_OK);
    EXPECT_EQ(size.QuadPart, Position(stream.get()));

    for (const bool fromStream : {false, true}) {
        auto loaded = CreateControl(Make<TestSite>(true).get());
        stream->Seek({}, STREAM_SEEK_SET, nullptr);
        ASSERT_EQ(fromStream ? As<IPersistStreamInit>(loaded)->Load(stream.get()) : Load(loaded, bag.get()),
                  S_OK);
        EXPECT_EQ(PrinterName(loaded.get()), L"cload") << fromStream;
        EXPECT_EQ(Saved(loaded)->Text(L"PrinterData"), L"saved, never printed") << fromStream;
        EXPECT_TRUE(Translate(loaded.get())) << fromStream;
        EXPECT_EQ(DocumentName(loaded.get()), L"Changed in the designer") << fromStream;
    }
}

TEST(Persistence, StreamsNotOursOrCutShortAreRefusedAndChangeNothing)
{
    auto saved = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(Load(saved, FourKeys(L"cload", true).get()), S_OK);
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    ASSERT_EQ(As<IPersistStreamInit>(saved)->Save(stream.get(), FALSE), S_OK);
    const std::string good = BytesOf(stream.get());

    auto control = CreateControl(Make<TestSite>(true).get());
    ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"untouched").get()), S_OK);
    auto load = [&](const std::string& bytes) {
        return As<IPersistStreamInit>(control)->Load(StreamOf(bytes).get());
    };
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_EQ(load(good.substr(0, length)), STG_E_DOCFILECORRUPT) << "cut to " << length << " bytes";

    std::string foreign = good, newer = good, badType = good;
    foreign[0] = 'X';
    newer[4] = 2;
    badType[13 + static_cast<unsigned char>(good[12])] = 7; // the first record's type
    EXPECT_EQ(load(foreign), STG_E_INVALIDHEADER);
    EXPECT_EQ(load(newer), STG_E_INVALIDHEADER);
    EXPECT_EQ(load(badType), STG_E_DOCFILECORRUPT);
    EXPECT_EQ(DocumentName(control.get()), L"untouched");

    // What the container keeps after our data stays where it is.
    auto followed = StreamOf(good + "the container's own");
    ASSERT_EQ(As<IPersistStreamInit>(control)->Load(followed.get()), S_OK);
    EXPECT_EQ(Position(followed.get()), good.size());
    EXPECT_EQ(DocumentName(control.get()), L"Saved document");
}

} // namespace
} // namespace rawlet::test
