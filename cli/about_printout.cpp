#include "about_printout.h"

#include <algorithm>

#include "about_texts.h"

namespace rawlet::cli {

void PrintAbout(std::ostream& out)
{
    about::AboutTexts texts = about::LoadedTexts();
    std::replace(texts.description.begin(), texts.description.end(), '\r', '\n');
    out << texts.caption << "\n\n"
        << texts.title << "\n"
        << texts.version << "\n\n"
        << texts.description << "\n"
        << texts.disclaimer << "\n";
}

} // namespace rawlet::cli
