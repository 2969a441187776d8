#include <algorithm>
#include <string>

#include "code_page_tables.h"

namespace rawlet::codepage {
namespace {

std::string PairText(CodePagePair pair) { return std::to_string(pair.ansi) + "/" + std::to_string(pair.oem); }

std::string SupportedPairs()
{
    std::string text;
    for (const OemTranslationTable& table : OemTranslationTables())
        text += (text.empty() ? "" : ", ") + PairText(table.pair);
    return text;
}

} // namespace

const AnsiPageTable& FindAnsiPage(int codePage)
{
    const auto pages = AnsiPageTables();
    const auto found = std::ranges::find(pages, codePage, &AnsiPageTable::codePage);
    if (found == pages.end())
        throw UnsupportedCodePage("ANSI code page " + std::to_string(codePage) +
                                  " is not supported (supported ANSI/OEM pairs: " + SupportedPairs() + ")");
    return *found;
}

const OemTranslationTable& FindOemTranslation(CodePagePair pair)
{
    const auto tables = OemTranslationTables();
    const auto found = std::ranges::find(tables, pair, &OemTranslationTable::pair);
    if (found == tables.end())
        throw UnsupportedCodePage("ANSI/OEM code-page pair " + PairText(pair) +
                                  " is not supported (supported pairs: " + SupportedPairs() + ")");
    return *found;
}

} // namespace rawlet::codepage
