#pragma once

#include <functional>
#include <string_view>

#include <rawlet/platform/host.h>

namespace rawlet::platform {

// The host for a program that uses the control directly, outside any form container: it
// always runs (never designs), raises errors as rawlet::Error exceptions, and tells the
// program of property changes and About requests when it asks to hear of them.
class ApplicationHost : public Host {
public:
    std::function<void(std::string_view property)> onPropertyChanged;
    std::function<void()> onAbout;

    void PropertyChanged(std::string_view name) override
    {
        if (onPropertyChanged)
            onPropertyChanged(name);
    }
    bool AmbientUserMode() override { return true; }
    [[noreturn]] void RaiseError(const Error& error) override { throw error; }
    void SetControlSize(int, int) override {}
    void ShowAboutDialog() override
    {
        if (onAbout)
            onAbout();
    }
};

} // namespace rawlet::platform
