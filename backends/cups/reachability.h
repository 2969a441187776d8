#pragma once

#include <optional>
#include <string>

namespace rawlet::cups {

// Nothing when the scheduler the environment names (CUPS_SERVER, client.conf or the local
// one) accepts a connection within `timeoutMs`; otherwise a line naming it and saying why
// not, such as "no print scheduler answers at /run/cups/cups.sock (No such file or
// directory)".
std::optional<std::string> SchedulerUnreachable(int timeoutMs);

} // namespace rawlet::cups
