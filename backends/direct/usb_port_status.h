#pragma once

#include <optional>

#include "status_facts.h"

namespace rawlet::direct {

// What a printer port's status lines say, as the system's printer driver reads them (the
// parallel port's lines, or the status byte a USB printer gives for them): 1 on a line
// means paper out (LP_POUTPA) or selected, that is online (LP_PSELECD); 0 on LP_PERRORP
// means an error.
StatusFacts DecodePortStatus(int bits);

// Asks the printer port open as `fd` (a Linux printer device such as /dev/usb/lp0) for its
// status lines and, where the printer has one, its IEEE 1284 device ID. Nothing when the
// device is not a printer port, or on systems other than Linux.
std::optional<StatusFacts> AskUsbPort(int fd);

} // namespace rawlet::direct
