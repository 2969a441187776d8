#include "cli_host.h"

#include <algorithm>
#include <iostream>

#include "about_texts.h"

namespace rawlet::cli {

void CliHost::ShowAboutDialog()
{
    about::AboutTexts texts = about::LoadedTexts();
    std::replace(texts.description.begin(), texts.description.end(), '\r', '\n');
    std::cout << texts.caption << "\n\n"
              << texts.title << "\n"
              << texts.version << "\n\n"
              << texts.description << "\n"
              << texts.disclaimer << "\n";
}

} // namespace rawlet::cli
