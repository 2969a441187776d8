#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <rawlet/error.h>

namespace rawlet::platform {

// The container that embeds the control: a form at design time, an application at run time,
// or simply the program that uses the library.
class Host {
public:
    virtual ~Host() = default;

    // Tells the host that the value of property `name` changed. Nothing comes back.
    virtual void PropertyChanged(std::string_view name) = 0;

    // True while the control runs in an application, false while its container is being
    // designed.
    virtual bool AmbientUserMode() = 0;

    // Ends the calling member with `error`: throws it (or an exception the host's caller
    // expects) and never returns. An error without source and description takes the host's
    // standard text for its number.
    [[noreturn]] virtual void RaiseError(const Error& error) = 0;

    // Gives the control the size `width` by `height` (twips) on its container.
    virtual void SetControlSize(int width, int height) = 0;

    // Shows the control's About dialog modally; returns when the user has closed it.
    virtual void ShowAboutDialog() = 0;
};

// The container's store of saved properties.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    // The text saved under `key`; `fallback` when the key is absent; nothing when a value
    // is present but cannot be read as text.
    virtual std::optional<std::string> ReadText(std::string_view key, std::string_view fallback) = 0;

    // Likewise for a boolean.
    virtual std::optional<bool> ReadBoolean(std::string_view key, bool fallback) = 0;

    virtual void WriteText(std::string_view key, std::string_view value) = 0;
    virtual void WriteBoolean(std::string_view key, bool value) = 0;
};

} // namespace rawlet::platform
