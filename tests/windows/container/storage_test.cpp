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

// A compound file in the prefix's temporary folder.
std::wstring DocumentPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

ComPtr<IStorage> CreateDocument(const std::wstring& path)
{
    ComPtr<IStorage> document;
    EXPECT_EQ(StgCreateDocfile(path.c_str(), kCreate, 0, document.put()), S_OK);
    return document;
}

// Opened exclusively: fails while anyone else holds the file.
ComPtr<IStorage> OpenDocument(const std::wstring& path)
{
    ComPtr<IStorage> document;
    StgOpenStorage(path.c_str(), nullptr, kOpen, nullptr, 0, document.put());
    return document;
}

// An embedded object's storage of the control's class, holding `contents` as its stream.
ComPtr<IStorage> ObjectStorage(IStorage* document, const wchar_t* name,
                               const std::optional<std::string>& contents)
{
    ComPtr<IStorage> storage;
    EXPECT_EQ(document->CreateStorage(name, kCreate, 0, 0, storage.put()), S_OK);
    EXPECT_EQ(WriteClassStg(storage.get(), CLSID_Rawlet), S_OK);
    ComPtr<IStream> stream;
    if (contents && storage->CreateStream(L"Contents", kCreate, 0, 0, stream.put()) == S_OK)
        stream->Write(contents->data(), static_cast<ULONG>(contents->size()), nullptr);
    return storage;
}

// What IPersistStreamInit saves of a control whose document name is "Saved document".
std::string SavedStream()
{
    auto control = CreateControl();
    EXPECT_EQ(control->put_PrinterDocumentName(Bstr(L"Saved document").get()), S_OK);
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    EXPECT_EQ(As<IPersistStreamInit>(control)->Save(stream.get(), TRUE), S_OK);
    STATSTG status{};
    stream->Stat(&status, STATFLAG_NONAME);
    std::string bytes(static_cast<std::size_t>(status.cbSize.QuadPart), '\0');
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
}

TEST(Storage, OleSaveAndOleLoadKeepTheFourPropertiesAndLoadingPrintsNothing)
{
    const std::wstring path = DocumentPath(L"rawlet-form.stg");
    auto site = Make<TestSite>(true);
    {
        auto document = CreateDocument(path);
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
        ASSERT_EQ(document->Commit(STGC_DEFAULT), S_OK);
        ASSERT_EQ(As<IOleObject>(control)->SetClientSite(nullptr), S_OK);
    }

    auto document = OpenDocument(path);
    ASSERT_TRUE(document) << "the saved control still holds the file";
    ComPtr<IStorage> storage;
    ASSERT_EQ(document->OpenStorage(L"Rawlet 1", nullptr, kOpen, nullptr, 0, storage.put()), S_OK);
    ComPtr<_Rawlet> loaded;
    ASSERT_EQ(OleLoad(storage.get(), IID__Rawlet, site.get(), reinterpret_cast<void**>(loaded.put())), S_OK);
    EXPECT_EQ(PrinterName(loaded.get()), L"cstorage");
    EXPECT_EQ(Saved(loaded)->Text(L"PrinterData"), L"stored");
    EXPECT_TRUE(Translate(loaded.get()));
    EXPECT_EQ(DocumentName(loaded.get()), L"Stored form");
    EXPECT_EQ(As<IPersistStorage>(loaded)->IsDirty(), S_FALSE);
    ASSERT_EQ(As<IOleObject>(loaded)->SetClientSite(nullptr), S_OK);
}

// Refused as the stream would be: the control is left as it was, free to load another.
TEST(Storage, AStorageWithoutOurStreamOrWithADamagedOneIsRefused)
{
    const std::string good = SavedStream();
    auto document = CreateDocument(DocumentPath(L"rawlet-damaged.stg"));
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
        SCOPED_TRACE(testing::Message() << storage.contents.value_or("(none)").size() << " bytes");
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
    const std::wstring path = DocumentPath(L"rawlet-states.stg");
    auto control = CreateControl();
    auto persist = As<IPersistStorage>(control);
    {
        auto document = CreateDocument(path);
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
    auto document = OpenDocument(path);
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
