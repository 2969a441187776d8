#pragma once

#include <string>
#include <windows.h>

namespace rawlet::about {

// Reads value `subKeyRef` of key `keyName` under `keyRoot` into `keyVal` as text and tells
// whether it could. The key is opened for reading only (KEY_READ), so a user without write
// rights under the root reads it too.
//
// A text value (REG_SZ) gives its characters without the terminating NUL; a 32-bit number
// (REG_DWORD) gives its little-endian value as a decimal number; a value of length zero
// gives empty text. A value of any other type succeeds and leaves `keyVal` as it was.
// When the key cannot be opened or the value cannot be read (absent, or longer than 1024
// bytes), `keyVal` becomes empty and the answer is false.
bool GetKeyValue(HKEY keyRoot, const std::string& keyName, const std::string& subKeyRef, std::string& keyVal);

} // namespace rawlet::about
