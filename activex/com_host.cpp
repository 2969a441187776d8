#include "com_host.h"

#include "about_dialog.h"
#include "dispatch_ids.h"

namespace rawlet::activex {

void ComHost::PropertyChanged(std::string_view name)
{
    container_.PropertyChanged(dispatch_ids::OfChange(name));
}

bool ComHost::AmbientUserMode() { return container_.AskUserMode(); }

void ComHost::RaiseError(const Error& error) { throw error; }

void ComHost::SetControlSize(int width, int height) { container_.SetSize(width, height); }

// Modal over the calling thread's active window (the container's form), if it has one.
void ComHost::ShowAboutDialog() { about::ShowAboutDialog(GetActiveWindow()); }

} // namespace rawlet::activex
