#pragma once

#include <string>

#include <rawlet/platform/doc_info.h>

namespace rawlet {

// The printing state of one control instance. The control is either Closed (both flags
// false) or Printing (both true); every operation keeps `queueOpen == documentStarted`.
// `docInfo` is what the next document start hands the spooler: opening a queue and setting
// the document name refresh it, loading saved properties does not.
struct ControlState {
    DocInfo docInfo;
    std::string printerName;
    std::string printerData;
    std::string documentName;
    bool queueOpen = false;
    bool translate = false;
    bool documentStarted = false;
};

} // namespace rawlet
