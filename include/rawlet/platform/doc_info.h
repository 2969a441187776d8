#pragma once

#include <optional>
#include <string>

namespace rawlet {

// The spooler's level-1 document information. "Absent" is a null text, not an empty one:
// an absent output file sends the job to the printer's port, an absent data type lets the
// printer's default data type apply.
struct DocInfo {
    std::optional<std::string> docName;
    std::optional<std::string> outputFile;
    std::optional<std::string> dataType;
};

} // namespace rawlet
