#include "win32_job_follow.h"

#include <algorithm>

#include "unique_printer.h"

namespace rawlet::win32 {

namespace {

// Quick at first, for a receipt that prints at once; then less often, for a job that waits
// behind others. A change notification ends a pause early.
constexpr std::chrono::milliseconds kFirstPause{100};
constexpr std::chrono::milliseconds kLongestPause{1000};

constexpr DWORD kStopped = JOB_STATUS_ERROR | JOB_STATUS_OFFLINE | JOB_STATUS_PAPEROUT |
                           JOB_STATUS_BLOCKED_DEVQ | JOB_STATUS_USER_INTERVENTION;
// The printer's port has had some of the job.
constexpr DWORD kBegun = JOB_STATUS_PRINTING | JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE;

// The job's state in a few words: the port monitor's own, or else those of its status bits.
std::string Described(const JobFacts& facts)
{
    static constexpr std::pair<DWORD, const char*> kWords[] = {
        {JOB_STATUS_ERROR, "error"},
        {JOB_STATUS_OFFLINE, "printer offline"},
        {JOB_STATUS_PAPEROUT, "out of paper"},
        {JOB_STATUS_BLOCKED_DEVQ, "blocked: the driver cannot print it"},
        {JOB_STATUS_USER_INTERVENTION, "the printer needs attention"},
        {JOB_STATUS_PRINTED, "printed"},
        {JOB_STATUS_COMPLETE, "sent to the printer"},
        {JOB_STATUS_DELETING, "being deleted"},
        {JOB_STATUS_DELETED, "deleted"},
        {JOB_STATUS_PRINTING, "printing"},
        {JOB_STATUS_SPOOLING, "spooling"},
        {JOB_STATUS_PAUSED, "paused"},
        {JOB_STATUS_RESTART, "restarting"},
    };
    std::string words;
    for (const auto& [bit, word] : kWords)
        if (facts.status & bit)
            words += (words.empty() ? "" : ", ") + std::string(word);
    if (words.empty())
        words = "waiting";
    return facts.words.empty() ? words : words + ": " + facts.words;
}

// The spooler's change notification for the printer's jobs, where it gives one.
class JobChanges {
public:
    JobChanges(HANDLE printer, const WinspoolCalls& calls) : calls_(calls), change_(calls.watchJobs(printer))
    {}
    ~JobChanges()
    {
        if (active())
            calls_.stopWatchingJobs(change_);
    }
    JobChanges(const JobChanges&) = delete;
    JobChanges& operator=(const JobChanges&) = delete;

    bool active() const noexcept { return change_ != INVALID_HANDLE_VALUE && change_ != nullptr; }
    HANDLE get() const noexcept { return change_; }
    // A change that cannot be taken would keep waking every wait at once: the job is then
    // looked at on the pauses alone.
    void Take()
    {
        if (calls_.takeJobChange(change_))
            return;
        calls_.stopWatchingJobs(change_);
        change_ = nullptr;
    }

private:
    const WinspoolCalls& calls_;
    HANDLE change_;
};

class Follower {
public:
    Follower(const QueueJob& job, const FollowRules& rules, const WinspoolCalls& calls)
        : job_(job), name_(JobName(job)), rules_(rules), calls_(calls)
    {}

    platform::DocumentOutcome Run();

private:
    platform::DocumentOutcome Follow(JobChanges& changes);
    std::optional<platform::DocumentOutcome> Look();
    bool Pause(JobChanges& changes);
    bool Interrupted() const { return ::WaitForSingleObject(rules_.interruption, 0) == WAIT_OBJECT_0; }

    platform::DocumentOutcome Said(rawlet::Outcome outcome, const std::string& reason) const
    {
        return {outcome, name_, reason};
    }
    platform::DocumentOutcome Delivered(const std::string& what) const;
    platform::DocumentOutcome Deleted() const;
    platform::DocumentOutcome Gone() const;
    platform::DocumentOutcome Stop(const std::string& why);

    const QueueJob& job_;
    const std::string name_;
    const FollowRules& rules_;
    const WinspoolCalls& calls_;
    UniquePrinter printer_;
    std::string lastWords_ = "waiting";
    bool begun_ = false;
    std::chrono::milliseconds pause_ = kFirstPause;
};

platform::DocumentOutcome Follower::Run()
{
    std::string printerName = job_.printer;
    if (!::OpenPrinterA(printerName.data(), printer_.put(), nullptr))
        return Said(rawlet::Outcome::unknown, name_ + " may print: the spooler would not open " +
                                                  job_.printer + " to follow it (error " +
                                                  std::to_string(::GetLastError()) + ")");
    JobChanges changes(printer_.get(), calls_);
    return Follow(changes);
}

platform::DocumentOutcome Follower::Follow(JobChanges& changes)
{
    for (;;) {
        if (std::optional<platform::DocumentOutcome> end = Look())
            return *end;
        if (rules_.deadline && Clock::now() >= *rules_.deadline)
            return Said(rawlet::Outcome::unknown,
                        name_ + " was still " + lastWords_ +
                            " when the wait's limit passed: it was not cancelled and may still print");
        if (!Pause(changes))
            return Stop("interrupted");
    }
}

// One look at the job: its end, or nothing while it can still print.
std::optional<platform::DocumentOutcome> Follower::Look()
{
    if (Interrupted())
        return Stop("interrupted");
    const std::optional<JobFacts> facts = calls_.jobFacts(printer_.get(), job_.id);
    if (!facts) {
        if (::GetLastError() == ERROR_INVALID_PARAMETER)
            return Gone();
        return Said(rawlet::Outcome::unknown, name_ +
                                                  " may print: the spooler does not tell its state (error " +
                                                  std::to_string(::GetLastError()) + ")");
    }
    lastWords_ = Described(*facts);
    if (rules_.onState)
        rules_.onState(name_ + " " + lastWords_);
    begun_ = begun_ || (facts->status & kBegun);
    if (facts->status & JOB_STATUS_PRINTED)
        return Said(rawlet::Outcome::printed, "");
    if (facts->status & kStopped)
        return Stop(lastWords_);
    if (facts->status & JOB_STATUS_COMPLETE)
        return Delivered(lastWords_);
    if (facts->status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED))
        return Deleted();
    return std::nullopt;
}

// A job deleted by someone else: one its port had not begun will not print.
platform::DocumentOutcome Follower::Deleted() const
{
    if (begun_)
        return Said(rawlet::Outcome::unknown,
                    name_ + " was deleted while printing: some of it may have printed");
    return Said(rawlet::Outcome::notPrinted,
                name_ + " was deleted before it was sent to the printer: it will not print");
}

// A job seen going to the port, or one the spooler hands on as it ends, was delivered. Any
// other may have been deleted while it waited, or sent and forgotten between two looks.
platform::DocumentOutcome Follower::Gone() const
{
    if (begun_ || calls_.handsJobsOnAtEnd)
        return Delivered("the spooler no longer keeps it");
    return Said(rawlet::Outcome::unknown,
                name_ + " left the spooler before it was seen going to the printer: it may have been "
                        "deleted, or sent to the printer");
}

// The spooler says a job is complete once its port has taken it, and forgets it soon after:
// neither tells that the printer printed it.
platform::DocumentOutcome Follower::Delivered(const std::string& what) const
{
    return Said(rawlet::Outcome::delivered, name_ + ": delivered to the printer's port (" + what +
                                                "); the spooler does not tell whether it printed");
}

// The job will not print now, but would once its printer ran again: it is deleted, so that a
// retry does not print it twice.
platform::DocumentOutcome Follower::Stop(const std::string& why)
{
    // The port may have begun the job since the last look, as it does while a wait pauses.
    if (const std::optional<JobFacts> facts = calls_.jobFacts(printer_.get(), job_.id))
        begun_ = begun_ || (facts->status & kBegun);
    if (!calls_.deleteJob(printer_.get(), job_.id))
        return Said(rawlet::Outcome::unknown,
                    name_ + " did not print yet: " + why + "; it could not be cancelled and may still print");
    if (begun_)
        return Said(rawlet::Outcome::unknown, name_ + " did not print to the end: " + why +
                                                  "; it was cancelled, but some of it may have printed");
    return Said(rawlet::Outcome::notPrinted,
                name_ + " did not print: " + why + "; it was cancelled and will not print");
}

// Waits for a change of the printer's jobs, the next look, or the interruption: false on the
// interruption.
bool Follower::Pause(JobChanges& changes)
{
    std::chrono::milliseconds pause = pause_;
    if (rules_.deadline)
        pause = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(*rules_.deadline - Clock::now()),
                           std::chrono::milliseconds(0), pause);
    pause_ = std::min(pause_ * 3 / 2, kLongestPause);
    const HANDLE waited[] = {rules_.interruption, changes.get()};
    const DWORD count = changes.active() ? 2 : 1;
    const DWORD woken = ::WaitForMultipleObjects(count, waited, FALSE, static_cast<DWORD>(pause.count()));
    if (woken == WAIT_OBJECT_0 + 1)
        changes.Take();
    return woken != WAIT_OBJECT_0;
}

} // namespace

std::string JobName(const QueueJob& job) { return job.printer + "-" + std::to_string(job.id); }

platform::DocumentOutcome FollowJob(const QueueJob& job, const FollowRules& rules, const WinspoolCalls& calls)
{
    return Follower(job, rules, calls).Run();
}

} // namespace rawlet::win32
