#pragma once

// The platform bundle of a system whose spooler is CUPS, under the name the command uses
// whatever backend the build chose.
#include "posix_platform.h"

namespace rawlet {
using SystemPlatform = posix::PosixPlatform;
}
