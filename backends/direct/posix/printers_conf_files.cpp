#include "direct_printers.h"

#include <cstdlib>

namespace rawlet::direct {

std::vector<std::string> PrintersConfFiles()
{
    std::vector<std::string> files;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        files.push_back(std::string(config) + "/rawlet/printers.conf");
    else if (const char* home = std::getenv("HOME"); home && *home)
        files.push_back(std::string(home) + "/.config/rawlet/printers.conf");
    files.emplace_back("/etc/rawlet/printers.conf");
    return files;
}

} // namespace rawlet::direct
