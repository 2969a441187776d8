#include "about_texts.h"

#include <rawlet/version.h>

namespace rawlet::about {

std::string VersionLine(int major, int minor, int revision)
{
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(revision);
}

AboutTexts LoadedTexts()
{
    return {
        .caption = std::string("About ") + "   Rawlet",
        .title = " R a w l e t  2",
        .version = VersionLine(version::kMajor, version::kMinor, version::kRevision),
        .description = "Raw text printing for applications, by the Rawlet developers.\r"
                       "Questions and suggestions: the Rawlet project's issue tracker.\r",
        .disclaimer = "For any question or suggestion Telephone me",
    };
}

} // namespace rawlet::about
