#include <rawlet/codepage/table_code_page.h>

#include <algorithm>
#include <array>

#include "code_page_tables.h"
#include "pair_for_locale.h"

namespace rawlet::codepage {
namespace {

// A plain lookup per byte: this runs over every byte printed with translation on.
void MapBytes(std::string_view in, char* out, const std::array<unsigned char, 256>& table)
{
    std::ranges::transform(
        in, out, [&table](char byte) { return static_cast<char>(table[static_cast<unsigned char>(byte)]); });
}

} // namespace

TableCodePage::TableCodePage(CodePagePair pair)
    : toOem_(&FindOemTranslation(pair)), ansiPage_(&FindAnsiPage(pair.ansi)), charset_(pair.ansi)
{}

TableCodePage TableCodePage::FromEnvironment() { return TableCodePage(PairFromProcessEnvironment()); }

void TableCodePage::CharToOemBuffA(std::string_view ansi, char* oem) const
{
    MapBytes(ansi, oem, toOem_->toOem);
}

std::string TableCodePage::CharUpperBuffA(std::string_view ansi) const
{
    std::string upper(ansi.size(), '\0');
    MapBytes(ansi, upper.data(), ansiPage_->upper);
    return upper;
}

} // namespace rawlet::codepage
