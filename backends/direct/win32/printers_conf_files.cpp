#include "direct_printers.h"

#include <cstdlib>

namespace rawlet::direct {

// The user's roaming settings, then those of every user of the machine.
std::vector<std::string> PrintersConfFiles()
{
    std::vector<std::string> files;
    for (const char* folder : {"APPDATA", "PROGRAMDATA"})
        if (const char* path = std::getenv(folder); path && *path)
            files.push_back(std::string(path) + "\\Rawlet\\printers.conf");
    return files;
}

} // namespace rawlet::direct
