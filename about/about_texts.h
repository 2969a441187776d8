#pragma once

#include <string>

namespace rawlet::about {

// The texts of the About box as it shows them once loaded.
struct AboutTexts {
    std::string caption;
    std::string title;
    std::string version;
    std::string description;
    std::string disclaimer;
};

AboutTexts LoadedTexts();

// "Version " with major, minor and revision as plain decimal numbers: version 2.00.0001
// shows as "Version 2.0.1".
std::string VersionLine(int major, int minor, int revision);

} // namespace rawlet::about
