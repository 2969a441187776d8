#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "device_uri.h"

namespace rawlet::direct {

struct DirectPrinter {
    std::string name;
    DeviceUri uri;
};

// The direct printers of the configuration files, and the lines that could not be used
// ("FILE:LINE: reason"), which are skipped.
struct PrintersConf {
    std::vector<DirectPrinter> printers;
    std::vector<std::string> problems;
};

// Whether two printer names are the same without regard to (ASCII) letter case.
bool SameName(std::string_view a, std::string_view b);

// Lines "NAME URI"; blank lines and those starting with '#' are ignored. A name already
// taken, in any letter case, keeps its first printer; a name has no ':' or '/'.
void ReadPrintersConf(std::istream& lines, const std::string& fileName, PrintersConf& conf);

// $RAWLET_PRINTERS alone when it is set; otherwise $XDG_CONFIG_HOME/rawlet/printers.conf
// (~/.config/rawlet/printers.conf), then /etc/rawlet/printers.conf. Missing files are no
// problem; a named $RAWLET_PRINTERS that cannot be read is.
PrintersConf LoadPrintersConf();

} // namespace rawlet::direct
