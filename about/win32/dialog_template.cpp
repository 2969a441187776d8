#include "dialog_template.h"

#include <cstring>

namespace rawlet::about {
namespace {

void AppendText(std::vector<WORD>& words, std::wstring_view text)
{
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
}

} // namespace

std::vector<WORD> BuildTemplate(const DialogTemplate& dialog)
{
    DLGTEMPLATE header{};
    header.style = dialog.style | DS_SETFONT;
    header.dwExtendedStyle = dialog.exStyle;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0); // no menu
    words.push_back(0); // the system's dialog class
    AppendText(words, dialog.caption);
    words.push_back(dialog.fontPoints);
    AppendText(words, dialog.fontFace);
    return words;
}

} // namespace rawlet::about
