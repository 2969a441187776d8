#include "abandonable_stream.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <utility>

namespace rawlet::cups {

void AbandonableStream::Begin(int socket)
{
    std::lock_guard lock(mutex_);
    streaming_ = true;
    ending_ = false;
    abandoned_ = false;
    socket_.Reset(socket >= 0 ? fcntl(socket, F_DUPFD_CLOEXEC, 0) : -1);
}

bool AbandonableStream::Ending()
{
    std::lock_guard lock(mutex_);
    ending_ = true;
    return !abandoned_;
}

bool AbandonableStream::End()
{
    std::lock_guard lock(mutex_);
    streaming_ = false;
    ending_ = false;
    socket_.Reset();
    return std::exchange(abandoned_, false);
}

bool AbandonableStream::abandoned() const
{
    std::lock_guard lock(mutex_);
    return abandoned_;
}

bool AbandonableStream::Abandon()
{
    std::lock_guard lock(mutex_);
    if (!streaming_)
        return false;
    abandoned_ = true;
    if (ending_)
        return false;
    if (socket_)
        shutdown(socket_.get(), SHUT_RDWR);
    return true;
}

} // namespace rawlet::cups
