#include "registration.h"

#include "Rawlet_h.h"
#include "module.h"
#include "unique_handle.h"

namespace rawlet::activex::registration {

namespace {

constexpr const wchar_t* kProgId = L"Rawleter.Rawlet";
constexpr const wchar_t* kVersionedProgId = L"Rawleter.Rawlet.1";
constexpr const wchar_t* kTitle = L"Rawlet";
// The library's version 17.0: COM writes and reads type-library versions in hexadecimal.
constexpr const wchar_t* kLibraryVersion = L"11.0";
constexpr const wchar_t* kLibraryHelpString =
    L"Rawlet an OCX that make printer to print as into the DOS environment";
// OLEMISC_RECOMPOSEONRESIZE | CANTLINKINSIDE | INSIDEOUT | ACTIVATEWHENVISIBLE |
// INVISIBLEATRUNTIME | SETCLIENTSITEFIRST, written in decimal as containers read it.
constexpr const wchar_t* kMiscStatus = L"132497";
constexpr const wchar_t* kToolboxBitmap = L"30000";
// The type-library marshaller: the interfaces are described by our type library alone.
constexpr const wchar_t* kTypeLibraryMarshaller = L"{00020424-0000-0000-C000-000000000046}";
// LIBFLAG_FCONTROL
constexpr const wchar_t* kLibraryFlags = L"2";
constexpr const wchar_t* kPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

std::wstring Text(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring ClassKey() { return L"CLSID\\" + Text(CLSID_Rawlet); }
std::wstring LibraryKey() { return L"TypeLib\\" + Text(LIBID_Rawleter); }
std::wstring LibraryVersionKey() { return LibraryKey() + L"\\" + kLibraryVersion; }

void AddInterface(std::vector<Entry>& entries, REFGUID iid, const wchar_t* name)
{
    const std::wstring key = L"Interface\\" + Text(iid);
    entries.push_back({key, L"", name});
    entries.push_back({key + L"\\ProxyStubClsid", L"", kTypeLibraryMarshaller});
    entries.push_back({key + L"\\ProxyStubClsid32", L"", kTypeLibraryMarshaller});
    entries.push_back({key + L"\\TypeLib", L"", Text(LIBID_Rawleter)});
    entries.push_back({key + L"\\TypeLib", L"Version", kLibraryVersion});
}

LSTATUS Write(const Entry& entry)
{
    winapi::UniqueKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    const auto bytes = static_cast<DWORD>((entry.data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), entry.name.empty() ? nullptr : entry.name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(entry.data.c_str()), bytes);
}

} // namespace

std::vector<Entry> Entries(const std::wstring& modulePath)
{
    const std::wstring clsid = Text(CLSID_Rawlet);
    const std::wstring classKey = ClassKey();
    std::vector<Entry> entries{
        {kProgId, L"", kTitle},
        {std::wstring(kProgId) + L"\\CLSID", L"", clsid},
        {std::wstring(kProgId) + L"\\CurVer", L"", kVersionedProgId},
        {kVersionedProgId, L"", kTitle},
        {std::wstring(kVersionedProgId) + L"\\CLSID", L"", clsid},
        {classKey, L"", kTitle},
        {classKey + L"\\InprocServer32", L"", modulePath},
        {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", L"", kVersionedProgId},
        {classKey + L"\\VersionIndependentProgID", L"", kProgId},
        {classKey + L"\\Control", L"", L""},
        {classKey + L"\\MiscStatus", L"", L"0"},
        {classKey + L"\\MiscStatus\\1", L"", kMiscStatus},
        {classKey + L"\\ToolboxBitmap32", L"", modulePath + L", " + kToolboxBitmap},
        {classKey + L"\\TypeLib", L"", Text(LIBID_Rawleter)},
        {classKey + L"\\Version", L"", L"1.0"},
        {LibraryVersionKey(), L"", kLibraryHelpString},
        {LibraryVersionKey() + L"\\0\\" + kPlatform, L"", modulePath},
        {LibraryVersionKey() + L"\\FLAGS", L"", kLibraryFlags},
        {LibraryVersionKey() + L"\\HELPDIR", L"", Folder(modulePath)},
    };
    AddInterface(entries, IID__Rawlet, L"_Rawlet");
    AddInterface(entries, DIID___Rawlet, L"__Rawlet");
    return entries;
}

std::vector<std::wstring> OwnedKeys()
{
    return {kProgId,
            kVersionedProgId,
            ClassKey(),
            LibraryVersionKey(),
            L"Interface\\" + Text(IID__Rawlet),
            L"Interface\\" + Text(DIID___Rawlet)};
}

std::vector<std::wstring> SharedKeys() { return {LibraryKey()}; }

HRESULT Register() noexcept
{
    try {
        for (const Entry& entry : Entries(module::Path())) {
            if (const LSTATUS status = Write(entry); status != ERROR_SUCCESS) {
                Unregister(); // leave nothing half-written
                return HRESULT_FROM_WIN32(status);
            }
        }
        return S_OK;
    } catch (...) {
        Unregister();
        return E_OUTOFMEMORY;
    }
}

// Removes whatever of the registration is there; missing keys are not an error.
HRESULT Unregister() noexcept
{
    try {
        HRESULT result = S_OK;
        for (const std::wstring& key : OwnedKeys()) {
            const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
                result = HRESULT_FROM_WIN32(status);
        }
        for (const std::wstring& key : SharedKeys())
            RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str()); // fails while other versions remain
        return result;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace rawlet::activex::registration
