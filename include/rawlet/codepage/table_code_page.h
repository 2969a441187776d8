#pragma once

#include <string>
#include <string_view>

#include <rawlet/codepage/ansi_charset.h>
#include <rawlet/codepage/code_page_pair.h>
#include <rawlet/platform/code_page.h>

namespace rawlet::codepage {

struct AnsiPageTable;
struct OemTranslationTable;

// The system's code pages where the OS has no ANSI/OEM notion of its own: every operation
// is a lookup in tables taken from Windows, so results equal Windows' byte for byte.
class TableCodePage final : public platform::CodePage {
public:
    // Throws UnsupportedCodePage when there are no tables for the pair.
    explicit TableCodePage(CodePagePair pair);

    // The pair this process's locale and overrides choose (PairFromProcessEnvironment).
    // Throws UnsupportedCodePage.
    static TableCodePage FromEnvironment();

    // UTF-8 to and from the ANSI page, for text that enters or leaves as UTF-8.
    const AnsiCharset& ansiCharset() const noexcept { return charset_; }

    void CharToOemBuffA(std::string_view ansi, char* oem) const override;
    std::string CharUpperBuffA(std::string_view ansi) const override;

private:
    const OemTranslationTable* toOem_;
    const AnsiPageTable* ansiPage_;
    AnsiCharset charset_;
};

} // namespace rawlet::codepage
