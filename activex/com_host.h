#pragma once

#include <ocidl.h>

#include "com_ptr.h"
#include "container.h"
#include <rawlet/platform/host.h>

namespace rawlet::activex {

// The control's container as the control's logic sees it: each operation goes to what the
// COM object knows of its container (Container). Until the object is embedded there is no
// container: only connected sinks hear of changes, and the control runs in user mode.
class ComHost final : public platform::Host {
public:
    explicit ComHost(Container& container) noexcept : container_(container) {}

    // Tells the property-change sinks, by the member's dispatch identifier.
    void PropertyChanged(std::string_view name) override;
    // The container's ambient UserMode, asked at each call; true without a container, as for
    // any script.
    bool AmbientUserMode() override;
    // Throws the error; the COM method's guard turns it into the caller's error.
    [[noreturn]] void RaiseError(const Error& error) override;
    // Becomes the control's extent on its container.
    void SetControlSize(int width, int height) override;
    void ShowAboutDialog() override;

private:
    Container& container_;
};

} // namespace rawlet::activex
