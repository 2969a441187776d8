// Following a queue's job, as the scheduler keeps it.
#include "queue_job_follow.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>

#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

// The scheduler, asked on the watch's connection, whose deadline bounds each question: a
// scheduler that stops answering ends the wait.
class SchedulerJobs : public ipp::JobKeeper {
public:
    SchedulerJobs(JobWatch& watch, const CreatedJob& job)
        : watch_(watch), printerUri_("ipp://localhost/printers/" + job.printer)
    {}

    ipp_t* NewRequest(ipp_op_t operation) const override
    {
        ipp_t* request = ippNewRequest(operation);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        return request;
    }
    ipp::Ipp Ask(ipp_t* request) override { return watch_.Ask(request); }
    ipp::Ipp AskAfterwards(ipp_t* request) override
    {
        const ipp::Http http = ConnectWithDeadline(kAfterwardsDeadlineMs);
        if (!http) {
            ippDelete(request);
            return nullptr;
        }
        return ipp::Ipp(cupsDoRequest(http.get(), request, "/"));
    }
    std::string Unanswered(ipp_t*) override
    {
        return watch_.interrupted() ? "interrupted" : ipp::LastErrorText();
    }
    bool Pause(std::chrono::milliseconds interval) override { return watch_.Pause(interval); }
    bool interrupted() const override { return watch_.interrupted(); }

private:
    JobWatch& watch_;
    const std::string printerUri_;
};

} // namespace

void JobWatch::Connect()
{
    if (interrupted())
        return;
    ipp::Http http = ConnectWithDeadline(kSchedulerDeadlineMs, &cancelConnect_);
    {
        std::lock_guard lock(mutex_);
        http_ = std::move(http);
    }
    Watch();
}

// The connection is shut, not closed, under the thread that uses it: its call fails at once.
// A connection being made ends at libcups's next look at its cancel flag.
void JobWatch::Interrupt() noexcept
{
    std::lock_guard lock(mutex_);
    interrupter_.Interrupt();
    std::atomic_ref<int>(cancelConnect_).store(1);
    if (watched_)
        ::shutdown(watched_.get(), SHUT_RDWR);
}

ipp::Ipp JobWatch::Ask(ipp_t* request)
{
    if (!http_ || interrupted()) {
        ippDelete(request);
        return nullptr;
    }
    ipp::Ipp response(cupsDoRequest(http_.get(), request, "/"));
    Watch();
    return interrupted() ? nullptr : std::move(response);
}

bool JobWatch::Pause(std::chrono::milliseconds interval)
{
    return posixapi::Pause(posixapi::Clock::now() + interval, &interrupter_) != ECANCELED;
}

// Interrupt() shuts a descriptor of our own for libcups's socket, never the number libcups
// holds: libcups may reconnect inside a request, and a number it let go of may by then be
// another thread's socket. Taken after each call that may have reconnected, under
// Interrupt()'s lock, so that a connection made just after an interruption is shut here.
void JobWatch::Watch()
{
    std::lock_guard lock(mutex_);
    const int fd = http_ ? httpGetFd(http_.get()) : -1;
    watched_.Reset(fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1);
    if (interrupter_.interrupted() && watched_)
        ::shutdown(watched_.get(), SHUT_RDWR);
}

ipp::JobEnd FollowJob(const CreatedJob& job, JobWatch& watch, std::optional<ipp::Clock::time_point> deadline,
                      const JobStateListener& onState)
{
    SchedulerJobs scheduler(watch, job);
    ipp::FollowRules rules;
    rules.jobId = job.id;
    rules.jobName = "job " + JobName(job);
    rules.keeperName = "the scheduler";
    rules.subscription = job.subscription;
    rules.deadline = deadline;
    return ipp::FollowJob(scheduler, rules, onState);
}

ipp::JobEnd FollowJob(const CreatedJob& job)
{
    JobWatch watch;
    watch.Connect();
    return FollowJob(job, watch);
}

} // namespace rawlet::cups
