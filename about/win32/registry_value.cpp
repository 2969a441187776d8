#include "registry_value.h"

#include <cstdint>

#include "win32_handles.h"

namespace rawlet::about {
namespace {

constexpr DWORD kBufferSize = 1024;

// The bytes of a text value, without the terminating NUL it was stored with.
std::string TextOf(std::string bytes)
{
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

// The bytes of a 32-bit number, least significant first, as a decimal number.
std::string NumberOf(const std::string& bytes)
{
    std::uint32_t number = 0;
    for (std::size_t i = bytes.size() < 4 ? bytes.size() : 4; i-- > 0;)
        number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    return std::to_string(number);
}

} // namespace

bool GetKeyValue(HKEY keyRoot, const std::string& keyName, const std::string& subKeyRef, std::string& keyVal)
{
    UniqueKey key;
    if (RegOpenKeyExA(keyRoot, keyName.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    std::string bytes(kBufferSize, '\0');
    DWORD size = kBufferSize;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), subKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                         &size) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    bytes.resize(size);
    if (type == REG_SZ)
        keyVal = TextOf(std::move(bytes));
    else if (type == REG_DWORD)
        keyVal = NumberOf(bytes);
    return true;
}

} // namespace rawlet::about
