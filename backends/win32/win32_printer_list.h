#pragma once

#include <rawlet/platform/printer_list.h>

namespace rawlet::win32 {

// The printers the spooler lists: local ones and connections to shared ones.
class Win32PrinterList final : public platform::PrinterList {
public:
    std::vector<std::string> DeviceNames() override;
};

} // namespace rawlet::win32
