#pragma once

#include <string>
#include <vector>

#include <rawlet/platform/printer_status.h>

namespace rawlet::text {

// A list of texts as a JSON array of strings.
std::string JsonList(const std::vector<std::string>& texts);

// One printer's status as a JSON object, as `rawlet status --json` and the bridge give it.
std::string StatusJson(const platform::PrinterStatus& status);

} // namespace rawlet::text
