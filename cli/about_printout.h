#pragma once

#include <ostream>

namespace rawlet::cli {

// The About box as text: caption, title, version line, credits and disclaimer.
void PrintAbout(std::ostream& out);

} // namespace rawlet::cli
