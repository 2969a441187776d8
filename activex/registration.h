#pragma once

#include <string>
#include <vector>
#include <windows.h>

// What the module writes into the registry, and the writing and removing of it.
namespace rawlet::activex::registration {

// One value under HKEY_CLASSES_ROOT; an empty `name` is the key's default value.
struct Entry {
    std::wstring key;
    std::wstring name;
    std::wstring data;
};

// Every value registration writes, for the module at `modulePath`.
std::vector<Entry> Entries(const std::wstring& modulePath);

// The keys that belong to the module alone, each removed with everything below it.
std::vector<std::wstring> OwnedKeys();
// Keys shared with other versions of the library, removed only when left empty.
std::vector<std::wstring> SharedKeys();

HRESULT Register() noexcept;
HRESULT Unregister() noexcept;

} // namespace rawlet::activex::registration
