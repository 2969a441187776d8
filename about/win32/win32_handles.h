#pragma once

#include <windows.h>

#include "unique_handle.h"

namespace rawlet::about {

using winapi::Unique;
using winapi::UniqueKey;

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueWindow = Unique<HWND, DestroyWindow>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
using UniqueFont = Unique<HFONT, DeleteGdiObject>;
using UniqueBitmap = Unique<HBITMAP, DeleteGdiObject>;
using UniqueHandle = Unique<HANDLE, CloseHandle>;

} // namespace rawlet::about
