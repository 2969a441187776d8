#include "abandonable_stream.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <utility>

namespace rawlet::cups {

void AbandonableStream::Begin(int jobId)
{
    std::lock_guard lock(mutex_);
    jobId_ = jobId;
    abandoned_ = false;
}

void AbandonableStream::StreamsOn(int socket)
{
    std::lock_guard lock(mutex_);
    socket_.Reset(socket >= 0 ? fcntl(socket, F_DUPFD_CLOEXEC, 0) : -1);
    if (abandoned_ && socket_)
        shutdown(socket_.get(), SHUT_RDWR);
}

bool AbandonableStream::End()
{
    std::lock_guard lock(mutex_);
    jobId_ = 0;
    socket_.Reset();
    return std::exchange(abandoned_, false);
}

bool AbandonableStream::abandoned() const
{
    std::lock_guard lock(mutex_);
    return abandoned_;
}

int AbandonableStream::Abandon()
{
    std::lock_guard lock(mutex_);
    if (jobId_ == 0)
        return 0;
    abandoned_ = true;
    if (socket_)
        shutdown(socket_.get(), SHUT_RDWR);
    return jobId_;
}

} // namespace rawlet::cups
