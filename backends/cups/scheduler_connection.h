#pragma once

#include "shared_ipp.h"

namespace rawlet::cups {

// How long the scheduler may keep a connection waiting, in milliseconds: to connect, and
// then for any write or response to move at all.
constexpr int kSchedulerDeadlineMs = 30000;
// The same for what is left to do once a document or a wait was broken off (cancelling what
// it left behind), as the program may be ending.
constexpr int kAfterwardsDeadlineMs = 5000;

// A new connection to the scheduler the environment names (CUPS_SERVER, client.conf or the
// local one) on which every wait gives up after `deadlineMs`: a scheduler that stops
// answering fails the request instead of holding the caller forever. Null when the scheduler
// does not answer, with errno telling why, or when `*cancel`, when given, became non-zero
// meanwhile.
ipp::Http ConnectWithDeadline(int deadlineMs = kSchedulerDeadlineMs, int* cancel = nullptr);

} // namespace rawlet::cups
