#pragma once

#include "platform/host.h"

namespace rawlet::cli {

// The command line as the control's host: always "running", errors thrown to main, the
// About box printed as text.
class CliHost : public platform::Host {
public:
    void PropertyChanged(std::string_view) override {}
    bool AmbientUserMode() override { return true; }
    [[noreturn]] void RaiseError(const Error& error) override { throw error; }
    void SetControlSize(int, int) override {}
    void ShowAboutDialog() override;
};

} // namespace rawlet::cli
