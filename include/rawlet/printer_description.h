#pragma once

#include <string>

namespace rawlet {

// A printer as `rawlet printers --long` shows it.
struct PrinterDescription {
    std::string name;
    std::string kind; // "queue" (the spooler's) or "direct"
    std::string uri;  // the device URI; empty when the spooler does not tell it
};

} // namespace rawlet
