#pragma once

#include <cups/cups.h>

namespace rawlet::cups {

// A job is created held and released only once the scheduler holds its whole document, so
// that a document cut short (the program interrupted, the connection broken mid-stream)
// never prints: the scheduler takes a stream that ends early as a complete document.

// The Create-Job option that holds the job until it is released.
cups_option_t HoldUntilReleased();

// Lets the held job `jobId` print; whether the scheduler agreed.
bool ReleaseJob(http_t* http, int jobId);

} // namespace rawlet::cups
