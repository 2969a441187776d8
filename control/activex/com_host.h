#pragma once

#include <ocidl.h>

#include "com_ptr.h"
#include "platform/host.h"

namespace rawlet::activex {

// The control's container as the COM object sees it. Until the object takes part in OLE
// embedding (a client site, property-change sinks, sizing) there is no container to tell
// anything: the notifications go nowhere and the control runs in user mode.
class ComHost final : public platform::Host {
public:
    // The container's site, once the object is embedded; none for a scripting client.
    void SetClientSite(ComPtr<IOleClientSite> site) noexcept { site_ = std::move(site); }

    // The place where property-change sinks will be told; none can connect yet.
    void PropertyChanged(std::string_view name) override;
    // The container's ambient UserMode; true without a container, as for any script.
    bool AmbientUserMode() override;
    // Throws the error; the COM method's guard turns it into the caller's error.
    [[noreturn]] void RaiseError(const Error& error) override;
    void SetControlSize(int width, int height) override;
    void ShowAboutDialog() override;

private:
    ComPtr<IOleClientSite> site_;
};

} // namespace rawlet::activex
