#pragma once

#include <string>
#include <string_view>

namespace rawlet::winapi {

// Text between the wide strings of COM and the control's ANSI bytes, through the system's
// ANSI code page (CP_ACP). Lengths are explicit, so NUL characters pass like any other.
// A character the code page cannot represent becomes the system's default character.
// Throw std::bad_alloc or std::length_error only.
std::string ToAnsi(std::wstring_view wide);
std::wstring FromAnsi(std::string_view ansi);

} // namespace rawlet::winapi
