#pragma once

#include "platform/platform.h"

namespace rawlet::activex {

// The Windows spooler, printer list and code pages, shared by every object of the module,
// with `host` for the object that asks.
platform::Platform PlatformFor(platform::Host& host) noexcept;

} // namespace rawlet::activex
