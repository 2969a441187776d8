// Following a job until it has printed or can no longer print, whoever keeps it.
#include "shared_ipp.h"

namespace rawlet::ipp {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

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

bool Waiting(int state) { return state == IPP_JSTATE_PENDING || state == IPP_JSTATE_HELD; }

JobEnd Printed() { return {true, {}}; }
JobEnd NotPrinted(std::string reason) { return {false, std::move(reason)}; }

JobEnd Forgotten(const FollowRules& rules, int lastState, const JobStateListener& onState)
{
    if (!rules.forgottenWaitingJobPrinted && Waiting(lastState))
        return NotPrinted("job " + JobStateName(lastState) + " when the printer let it go");
    if (rules.forgottenWaitingJobPrinted && onState)
        onState(rules.jobName + " no longer kept by " + rules.keeperName + ", last seen " +
                JobStateName(lastState ? lastState : IPP_JSTATE_PENDING) +
                " (no job history): not known to have failed");
    return Printed();
}

// The end a final state means; nothing while the job can still print.
std::optional<JobEnd> EndOf(int state, ipp_t* response)
{
    switch (state) {
    case IPP_JSTATE_COMPLETED:
        return Printed();
    case IPP_JSTATE_STOPPED:
        return NotPrinted(DescribedJob("job stopped", response));
    case IPP_JSTATE_CANCELED:
        return NotPrinted(DescribedJob("job canceled", response));
    case IPP_JSTATE_ABORTED:
        return NotPrinted(DescribedJob("job aborted", response));
    default:
        return std::nullopt;
    }
}

// A printer that stopped with the job unfinished will not print it until someone acts.
std::optional<JobEnd> PrinterStopped(JobKeeper& keeper)
{
    const Ipp printer = keeper.AskPrinter();
    if (!Answered(printer.get()) || StateOf(printer.get(), "printer-state") != IPP_PSTATE_STOPPED)
        return std::nullopt;
    return NotPrinted(
        Described("printer stopped", printer.get(), "printer-state-message", "printer-state-reasons"));
}

} // namespace

namespace {

// The end of a job that did not print because it or its printer stopped: it stays queued,
// last seen in `lastState`, and may print once they run again. Only such an end carries the
// state; one where the keeper did not answer says nothing of what the job will do.
JobEnd StillOpen(JobEnd end, int lastState)
{
    end.openState = lastState;
    return end;
}

} // namespace

JobEnd FollowJob(JobKeeper& keeper, const FollowRules& rules, const JobStateListener& onState)
{
    int lastState = 0; // the last state the job was seen waiting or printing in; 0 before
    int answersWithoutState = 0;
    for (;;) {
        const Ipp response = keeper.AskJob();
        if (keeper.Forgot(response.get()))
            return Forgotten(rules, lastState, onState);
        const bool answered = Answered(response.get());
        const std::string unanswered = answered ? "" : keeper.Unanswered(response.get());
        const int state = answered ? StateOf(response.get(), "job-state") : 0;
        if (onState)
            onState(answered ? DescribedJob(rules.jobName + " " + JobStateName(state), response.get())
                             : rules.jobName + " " + JobStateName(state) + ": " + unanswered);
        if (!answered)
            return NotPrinted("job state unavailable: " + unanswered);
        if (const auto end = EndOf(state, response.get()))
            return state == IPP_JSTATE_STOPPED ? StillOpen(*end, state) : *end;
        if (state == 0) {
            if (++answersWithoutState >= rules.answersWithoutState)
                return NotPrinted("job state unavailable: " + rules.keeperName +
                                  " does not tell the job's state");
        } else {
            lastState = state;
        }
        if (rules.watchPrinter)
            if (const auto stopped = PrinterStopped(keeper))
                return StillOpen(*stopped, lastState);
        if (!keeper.Pause(kPollInterval))
            return NotPrinted("job state unavailable: interrupted");
    }
}

} // namespace rawlet::ipp
