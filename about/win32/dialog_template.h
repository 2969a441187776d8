#pragma once

#include <string_view>
#include <vector>
#include <windows.h>

namespace rawlet::about {

// An in-memory dialog template without controls (they are made at load, placed in pixels),
// for DialogBoxIndirectParamW: the window's style, caption and font.
struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    std::wstring_view caption;
    WORD fontPoints;
    std::wstring_view fontFace;
};

// The template's words, DWORD-aligned as the dialog manager needs them.
std::vector<WORD> BuildTemplate(const DialogTemplate& dialog);

} // namespace rawlet::about
