#include "direct_printers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace rawlet::direct {

bool SameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

namespace {

bool Taken(const PrintersConf& conf, std::string_view name)
{
    return std::ranges::any_of(conf.printers,
                               [&](const DirectPrinter& printer) { return SameName(printer.name, name); });
}

std::vector<std::string> DefaultFiles()
{
    std::vector<std::string> files;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        files.push_back(std::string(config) + "/rawlet/printers.conf");
    else if (const char* home = std::getenv("HOME"); home && *home)
        files.push_back(std::string(home) + "/.config/rawlet/printers.conf");
    files.emplace_back("/etc/rawlet/printers.conf");
    return files;
}

} // namespace

void ReadPrintersConf(std::istream& lines, const std::string& fileName, PrintersConf& conf)
{
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream fields(line);
        std::string name, uri, extra;
        if (!(fields >> name) || name.starts_with('#'))
            continue;
        const std::string where = fileName + ":" + std::to_string(number) + ": ";
        if (!(fields >> uri)) {
            conf.problems.push_back(where + "no device URI after the name '" + name + "'");
        } else if (fields >> extra) {
            conf.problems.push_back(where + "unexpected text after the URI: '" + extra + "'");
        } else if (name.find_first_of(":/") != std::string::npos) {
            // Such a name would stand for the URI it is spelled like, or the path of a queue.
            conf.problems.push_back(where + "the name '" + name +
                                    "' has a ':' or '/', which names cannot have");
        } else if (Taken(conf, name)) {
            conf.problems.push_back(where + "the name '" + name + "' is already taken");
        } else {
            try {
                DeviceUri parsed = ParseDeviceUri(uri);
                CheckTransport(parsed);
                conf.printers.push_back({name, std::move(parsed)});
            } catch (const BadDeviceUri& problem) {
                conf.problems.push_back(where + problem.what());
            }
        }
    }
}

PrintersConf LoadPrintersConf()
{
    PrintersConf conf;
    if (const char* named = std::getenv("RAWLET_PRINTERS"); named && *named) {
        std::ifstream file(named);
        if (!file)
            conf.problems.push_back(std::string(named) + ": " + std::strerror(errno));
        ReadPrintersConf(file, named, conf);
        return conf;
    }
    for (const std::string& name : DefaultFiles())
        if (std::ifstream file(name); file)
            ReadPrintersConf(file, name, conf);
    return conf;
}

} // namespace rawlet::direct
