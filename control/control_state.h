#pragma once

#include <string>

#include "platform/doc_info.h"

namespace rawlet {

// The printing state of one control instance. The control is either Closed (both flags
// false) or Printing (both true); every operation keeps `queueOpen == documentStarted`.
struct ControlState {
    DocInfo docInfo;
    std::string printerName;
    std::string printerData;
    std::string documentName;
    bool queueOpen = false;
    bool translate = false;
    bool documentStarted = false;
    std::string sendBuffer;
    std::string outBuffer;
};

} // namespace rawlet
