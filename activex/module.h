#pragma once

#include <string>
#include <windows.h>

// The module's own facts: its instance, its file, and what keeps it loaded.
namespace rawlet::activex::module {

void SetInstance(HINSTANCE instance) noexcept;
HINSTANCE Instance() noexcept;
// The full path of Rawlet.ocx as loaded. Throws std::bad_alloc.
std::wstring Path();

// Live control objects and server locks: while either is non-zero the module must stay.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void Lock(bool lock) noexcept;
bool CanUnload() noexcept;

} // namespace rawlet::activex::module
