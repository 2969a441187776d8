// Following a job until it has printed or can no longer print, whoever keeps it.
#include <algorithm>

#include "job_events.h"

namespace rawlet::ipp {

namespace {

// Quick at first, for a receipt that prints at once; then less often, for a job that waits
// behind others.
constexpr std::chrono::milliseconds kFirstPause{100};
constexpr std::chrono::milliseconds kLongestPause{1000};

// "what: the keeper's words", from the message attribute, or the reasons when it has none.
std::string Described(const std::string& what, ipp_t* response, const char* messageName,
                      const char* reasonsName)
{
    std::string why = AttributeText(response, messageName);
    if (why.empty())
        why = AttributeText(response, reasonsName);
    return why.empty() ? what : what + ": " + why;
}

std::string DescribedJob(const std::string& what, ipp_t* response)
{
    return Described(what, response, "job-printer-state-message", "job-state-reasons");
}

int StateOf(ipp_t* response, const char* name)
{
    return ippGetInteger(ippFindAttribute(response, name, IPP_TAG_ENUM), 0);
}

bool Answered(ipp_t* response) { return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING; }

bool Final(int state)
{
    return state == IPP_JSTATE_COMPLETED || state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED;
}

// One job followed to its end.
class Follower {
public:
    Follower(JobKeeper& keeper, const FollowRules& rules, const JobStateListener& onState)
        : keeper_(keeper), rules_(rules), onState_(onState), events_(keeper, rules)
    {}

    JobEnd Run();

private:
    std::optional<JobEnd> Look();
    std::optional<JobEnd> LookAtPrinter();
    Ipp Ask(ipp_op_t operation, std::initializer_list<const char*> wanted);
    bool Forgot(ipp_t* response) const;
    bool Pause();

    JobEnd Ended(int state, const std::string& words) const;
    JobEnd Forgotten();
    JobEnd Unknown(const std::string& what) const;
    JobEnd Stop(const std::string& why);
    bool CancelJob();
    bool StartedSinceLastLook();

    JobKeeper& keeper_;
    const FollowRules& rules_;
    const JobStateListener& onState_;
    JobEvents events_;
    int lastState_ = 0; // the last state the job was seen waiting or printing in
    bool begun_ = false;
    int answersWithoutState_ = 0;
    std::chrono::milliseconds pause_ = kFirstPause;
};

JobEnd Follower::Run()
{
    for (;;) {
        if (const std::optional<JobEnd> end = Look())
            return *end;
        if (rules_.deadline && Clock::now() >= *rules_.deadline)
            return Unknown("was still " + JobStateName(lastState_ ? lastState_ : IPP_JSTATE_PENDING) +
                           " when the wait's limit passed: it was not cancelled and may still print");
        events_.KeepAlive();
        if (!Pause())
            return Stop("interrupted");
    }
}

// One look at the job, and at its printer while the job is open: its end, or nothing while it
// can still print.
std::optional<JobEnd> Follower::Look()
{
    const Ipp job =
        Ask(IPP_OP_GET_JOB_ATTRIBUTES, {"job-state", "job-printer-state-message", "job-state-reasons"});
    if (keeper_.interrupted())
        return Stop("interrupted");
    if (Forgot(job.get()))
        return Forgotten();
    if (!Answered(job.get()))
        return Unknown("may print: its state is unavailable: " + keeper_.Unanswered(job.get()));
    const int state = StateOf(job.get(), "job-state");
    if (onState_)
        onState_(DescribedJob(rules_.jobName + " " + JobStateName(state), job.get()));
    if (Final(state))
        return Ended(state, DescribedJob("job " + JobStateName(state), job.get()));
    if (state == IPP_JSTATE_STOPPED) {
        begun_ = true;
        return Stop(DescribedJob("job stopped", job.get()));
    }
    if (state == 0)
        return ++answersWithoutState_ < rules_.answersWithoutState
                   ? std::nullopt
                   : std::optional(Unknown("may print: its state is unavailable: " + rules_.keeperName +
                                           " does not tell the job's state"));
    lastState_ = state;
    begun_ = begun_ || state == IPP_JSTATE_PROCESSING;
    return LookAtPrinter();
}

// A printer that stopped with the job unfinished would print it once someone starts it again.
std::optional<JobEnd> Follower::LookAtPrinter()
{
    const Ipp printer = Ask(IPP_OP_GET_PRINTER_ATTRIBUTES,
                            {"printer-state", "printer-state-message", "printer-state-reasons"});
    if (keeper_.interrupted())
        return Stop("interrupted");
    if (!Answered(printer.get()) || StateOf(printer.get(), "printer-state") != IPP_PSTATE_STOPPED)
        return std::nullopt;
    return Stop(
        Described("printer stopped", printer.get(), "printer-state-message", "printer-state-reasons"));
}

Ipp Follower::Ask(ipp_op_t operation, std::initializer_list<const char*> wanted)
{
    ipp_t* request = keeper_.NewRequest(operation);
    if (operation != IPP_OP_GET_PRINTER_ATTRIBUTES)
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", rules_.jobId);
    if (wanted.size() != 0)
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(wanted.size()), nullptr, wanted.begin());
    return keeper_.interrupted() ? keeper_.AskAfterwards(request) : keeper_.Ask(request);
}

// libcups tells a job the keeper no longer knows by the answer, or by its last error when it
// keeps the answer to itself.
bool Follower::Forgot(ipp_t* response) const
{
    return (response ? ippGetStatusCode(response) : cupsLastError()) == IPP_STATUS_ERROR_NOT_FOUND;
}

bool Follower::Pause()
{
    std::chrono::milliseconds pause = pause_;
    if (rules_.deadline)
        pause = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(*rules_.deadline - Clock::now()),
                           std::chrono::milliseconds(0), pause);
    pause_ = std::min(pause_ * 3 / 2, kLongestPause);
    return keeper_.Pause(pause);
}

JobEnd Follower::Ended(int state, const std::string& words) const
{
    if (state == IPP_JSTATE_COMPLETED)
        return {Outcome::printed, ""};
    return {Outcome::notPrinted, rules_.jobName + " did not print: " + words};
}

// A keeper that keeps no job history forgets a job as soon as it ends, however it ended: the
// subscription's events tell how, where there are any.
JobEnd Follower::Forgotten()
{
    const JobNews& news = events_.Read();
    if (news.endState != 0)
        return Ended(news.endState, "job " + JobStateName(news.endState) +
                                        (news.endWords.empty() ? "" : ": " + news.endWords));
    return Unknown("was last seen " + JobStateName(lastState_ ? lastState_ : IPP_JSTATE_PENDING) + "; " +
                   rules_.keeperName +
                   " no longer knows it and told nothing of its end: it may have printed");
}

JobEnd Follower::Unknown(const std::string& what) const
{
    return {Outcome::unknown, rules_.jobName + " " + what};
}

// The job will not print now, but would once its printer ran again: it is cancelled, so
// that a retry does not print it twice. Whether part of it may have printed depends on how
// far it got, which the events tell even where no look saw it printing.
JobEnd Follower::Stop(const std::string& why)
{
    const bool cancelled = CancelJob();
    const bool howFarKnown = lastState_ != 0 || events_.active();
    const JobNews& news = events_.Read();
    // Events unread may have told that it began: the cancel does not make it unprinted then.
    begun_ =
        begun_ || news.begun || (events_.active() && news.unread) || !howFarKnown || StartedSinceLastLook();
    if (!cancelled)
        return {Outcome::unknown, rules_.jobName + " did not print yet: " + why +
                                      "; it could not be cancelled and may still print"};
    if (begun_)
        return {Outcome::unknown, rules_.jobName + " did not print to the end: " + why +
                                      "; it was cancelled, but some of it may have printed"};
    return {Outcome::notPrinted,
            rules_.jobName + " did not print: " + why + "; it was cancelled and will not print"};
}

bool Follower::CancelJob() { return Answered(Ask(IPP_OP_CANCEL_JOB, {}).get()); }

// A job seen pending may have started between the last look and the cancel: the keeper's
// record of when it started processing tells, where the keeper still has the job.
bool Follower::StartedSinceLastLook()
{
    if (begun_ || events_.active())
        return false;
    const Ipp job = Ask(IPP_OP_GET_JOB_ATTRIBUTES, {"time-at-processing"});
    ipp_attribute_t* started = ippFindAttribute(job.get(), "time-at-processing", IPP_TAG_INTEGER);
    return started && ippGetInteger(started, 0) > 0;
}

} // namespace

JobEnd FollowJob(JobKeeper& keeper, const FollowRules& rules, const JobStateListener& onState)
{
    return Follower(keeper, rules, onState).Run();
}

} // namespace rawlet::ipp
