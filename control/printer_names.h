#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <rawlet/platform/code_page.h>
#include <rawlet/platform/printer_list.h>

namespace rawlet {

// The device name of the installed printer that `name` names: compared by the system's upper
// case, the first match winning, in the order the list matches names; spelled as the system
// spells it.
std::optional<std::string> MatchPrinterName(platform::PrinterList& printers,
                                            const platform::CodePage& codePage, std::string_view name);

} // namespace rawlet
