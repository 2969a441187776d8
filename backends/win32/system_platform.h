#pragma once

// The platform bundle of Windows, under the name the command uses whatever backend the
// build chose.
#include "win32_platform.h"

namespace rawlet {
using SystemPlatform = win32::Win32Platform;
}
