#include "printer_names.h"

namespace rawlet {

std::optional<std::string> MatchPrinterName(platform::PrinterList& printers,
                                            const platform::CodePage& codePage, std::string_view name)
{
    const std::string wanted = codePage.CharUpperBuffA(name);
    std::optional<std::string> found;
    printers.FindDeviceName([&](const std::string& deviceName) {
        if (codePage.CharUpperBuffA(deviceName) != wanted)
            return false;
        found = deviceName;
        return true;
    });
    return found;
}

} // namespace rawlet
