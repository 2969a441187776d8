#pragma once

#include <rawlet/platform/code_page.h>

namespace rawlet::win32 {

// The system's ANSI and OEM code pages, through user32.
class Win32CodePage final : public platform::CodePage {
public:
    void CharToOemBuffA(std::string_view ansi, char* oem) const override;
    std::string CharUpperBuffA(std::string_view ansi) const override;
};

} // namespace rawlet::win32
