#pragma once

#include <windows.h>

namespace rawlet::about {

// Loads frmAbout, the control's About box, and shows it modally over `owner` (none: the
// dialog gets a hidden owner of its own, which keeps it out of the task bar); returns when
// the user has closed it, the dialog unloaded. One dialog object serves each thread; a call
// while that thread's dialog is open brings it to the front instead. Returns at once where
// no window can be made (no display).
void ShowAboutDialog(HWND owner) noexcept;

} // namespace rawlet::about
