// The control in a container's structured storage, through ole32 itself: OleCreate, OleSave
// and OleLoad on a compound file, storages it cannot load, and COM's storage states. Queue
// "cstorage" gets the one job printed before the save: loading prints nothing.
#include <gtest/gtest.h>
#include <ole2.h>
#include <optional>

#include "embedded.h"

namespace rawlet::test {
namespace {

constexpr DWORD kOpen = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kCreate = kOpen | STGM_CREATE;

// A compound file in the prefix's temporary folder, created afresh or opened; opening is
// exclusive, so it fails while anyone else holds the file.
ComPtr<IStorage> Document(const wchar_t* name, bool create)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    ComPtr<IStorage> document;
    if (create)
        StgCreateDocfile(path.c_str(), kCreate, 0, document.put());
    else
        StgOpenStorage(path.c_str(), nullptr, kOpen, nullptr, 0, document.put());
    return document;
}

// An embedded object's storage of the control's class, holding `contents` as its stream.
ComPtr<IStorage> ObjectStorage(IStorage* document, const wchar_t* name,
                               const std::optional<std::string>& contents)
{
    ComPtr<IStorage> storage;
    ComPtr<IStream> stream;
    EXPECT_EQ(document->CreateStorage(name, kCreate, 0, 0, storage.put()), S_OK);
    EXPECT_EQ(WriteClassStg(storage.get(), CLSID_Rawlet), S_OK);
    if (contents && storage->CreateStream(L"Contents", kCreate, 0, 0, stream.put()) == S_OK)
        stream->Write(contents->data(), static_cast<ULONG>(contents->size()), nullptr);
    return storage;
}

// What IPersistStreamInit saves of a control whose document name is "Saved document".
std::string SavedStream()
{
    auto control = CreateControl();
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    control->put_PrinterDocumentName(Bstr(L"Saved document").get());
    As<IPersistStreamInit>(control)->Save(stream.get(), TRUE);
    ULARGE_INTEGER size{};
    stream->Seek({}, STREAM_SEEK_CUR, &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

TEST(Storage, OleSaveAndOleLoadKeepTheFourPropertiesAndLoadingPrintsNothing)
{
    auto site = Make<TestSite>(true);
    {
        auto document = Document(L"rawlet-form.stg", true);
        ComPtr<IStorage> storage;
        ASSERT_EQ(document->CreateStorage(L"Rawlet 1", kCreate, 0, 0, storage.put()), S_OK);
        ComPtr<_Rawlet> control;
        ASSERT_EQ(OleCreate(CLSID_Rawlet, IID__Rawlet, OLERENDER_NONE, nullptr, site.get(), storage.get(),
                            reinterpret_cast<void**>(control.put())),
                  S_OK);
        ASSERT_EQ(control->put_PrinterName(Bstr(L"cstorage").get()), S_OK);
        ASSERT_EQ(control->put_PrinterTranslate(VARIANT_TRUE), S_OK);
        ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"Stored form").get()), S_OK);
        ASSERT_EQ(control->put_PrinterData(Bstr(L"stored").get()), S_OK);
        ASSERT_EQ(control->PrinterClose(), S_OK);
        auto persist = As<IPersistStorage>(control);
        EXPECT_EQ(persist->IsDirty(), S_OK);
        ASSERT_EQ(OleSave(persist.get(), storage.get(), TRUE), S_OK);
        ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
    }
    auto document = Document(L"rawlet-form.stg", false);
    ASSERT_TRUE(document) << "the saved control still holds the file";
    ComPtr<IStorage> storage;
    ComPtr<_Rawlet> loaded;
    ASSERT_EQ(document->OpenStorage(L"Rawlet 1", nullptr, kOpen, nullptr, 0, storage.put()), S_OK);
    ASSERT_EQ(OleLoad(storage.get(), IID__Rawlet, site.get(), reinterpret_cast<void**>(loaded.put())), S_OK);
    EXPECT_EQ(PrinterName(loaded.get()), L"cstorage");
    EXPECT_EQ(Saved(loaded)->Text(L"PrinterData"), L"stored");
    EXPECT_TRUE(Translate(loaded.get()));
    EXPECT_EQ(DocumentName(loaded.get()), L"Stored form");
}

// Refused as the stream would be: the control is left as it was, free to load another.
TEST(Storage, AStorageWithoutOurStreamOrWithADamagedOneIsRefused)
{
    const std::string good = SavedStream();
    auto document = Document(L"rawlet-damaged.stg", true);
    auto loadable = ObjectStorage(document.get(), L"good", good);
    const struct {
        const wchar_t* name;
        std::optional<std::string> contents;
        HRESULT refusal;
    } damaged[] = {
        {L"no stream", std::nullopt, STG_E_FILENOTFOUND},
        {L"cut short", good.substr(0, good.size() - 1), STG_E_DOCFILECORRUPT},
        {L"written by another", "Not what the control writes", STG_E_INVALIDHEADER},
    };
    for (const auto& storage : damaged) {
        SCOPED_TRACE(testing::Message() << storage.name);
        auto bad = ObjectStorage(document.get(), storage.name, storage.contents);
        ComPtr<IUnknown> object;
        EXPECT_EQ(OleLoad(bad.get(), IID_IUnknown, nullptr, reinterpret_cast<void**>(object.put())),
                  storage.refusal);
        EXPECT_FALSE(object);

        auto control = CreateControl();
        ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"untouched").get()), S_OK);
        auto persist = As<IPersistStorage>(control);
        EXPECT_EQ(persist->Load(bad.get()), storage.refusal);
        EXPECT_EQ(DocumentName(control.get()), L"untouched");
        EXPECT_EQ(persist->Load(loadable.get()), S_OK);
        EXPECT_EQ(DocumentName(control.get()), L"Saved document");
    }
}

// Nothing is written between Save and SaveCompleted or while hands off, and hands off the
// control holds no storage: the container can open its file exclusively again.
TEST(Storage, FollowsComsStorageStates)
{
    auto control = CreateControl();
    auto persist = As<IPersistStorage>(control);
    {
        auto document = Document(L"rawlet-states.stg", true);
        EXPECT_EQ(persist->Save(document.get(), TRUE), E_UNEXPECTED) << "not yet initialised";
        ASSERT_EQ(persist->InitNew(document.get()), S_OK);
        EXPECT_EQ(persist->InitNew(document.get()), CO_E_ALREADYINITIALIZED);
        EXPECT_EQ(persist->Load(document.get()), CO_E_ALREADYINITIALIZED);
        EXPECT_EQ(persist->SaveCompleted(nullptr), E_UNEXPECTED) << "no save to complete";
        ASSERT_EQ(persist->HandsOffStorage(), S_OK);
        ASSERT_EQ(control->put_PrinterDocumentName(Bstr(L"changed hands off").get()), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_OK);
        EXPECT_EQ(persist->Save(document.get(), TRUE), E_UNEXPECTED);
    }
    auto document = Document(L"rawlet-states.stg", false);
    ASSERT_TRUE(document) << "the control still holds the storage it was told to let go";
    ComPtr<IStream> stream;
    EXPECT_EQ(document->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()),
              STG_E_FILENOTFOUND)
        << "written while hands off";

    EXPECT_EQ(persist->SaveCompleted(nullptr), E_INVALIDARG);
    ASSERT_EQ(persist->SaveCompleted(document.get()), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK) << "the storage given back lacks the change";
    ASSERT_EQ(persist->Save(document.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    EXPECT_EQ(persist->Save(document.get(), TRUE), E_UNEXPECTED) << "no-scribble until SaveCompleted";
    ASSERT_EQ(persist->HandsOffStorage(), S_OK);
    ASSERT_EQ(persist->SaveCompleted(document.get()), S_OK);
    EXPECT_EQ(persist->Save(document.get(), TRUE), S_OK);
}

} // namespace
} // namespace rawlet::test
