#pragma once

// The earlier name of the Linux and macOS platform bundle, kept for programs written
// against it. New programs use rawlet::System (<rawlet/system.h>).
#include <rawlet/posix/posix_platform.h>

namespace rawlet::cups {
using CupsPlatform = posix::PosixPlatform;
using rawlet::PrinterDescription;
} // namespace rawlet::cups
