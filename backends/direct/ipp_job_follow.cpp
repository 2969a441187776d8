// Following a job an IPP printer took, until it has printed or can no longer print.
#include "backends/cups/ipp_attributes.h"
#include "ipp_device.h"

namespace rawlet::direct {

namespace {

constexpr auto kFollowInterval = std::chrono::milliseconds(100);
// Answers without a job state before the printer is taken not to tell it.
constexpr int kAnswersWithoutState = 20;

std::string Described(const std::string& what, ipp_t* response)
{
    std::string why = cups::AttributeText(response, "job-printer-state-message");
    if (why.empty())
        why = cups::AttributeText(response, "job-state-reasons");
    return why.empty() ? what : what + ": " + why;
}

// A printer that keeps no job history forgets a job once it has printed it, often before the
// first question: a job gone after it was taken, processing or completed printed, as far as
// anyone can tell. One gone while it waited was not printed by this printer.
bool GoneAfterPrinting(int lastState)
{
    return lastState == 0 || lastState == IPP_JSTATE_PROCESSING || lastState == IPP_JSTATE_COMPLETED;
}

} // namespace

std::optional<std::string> IppDevice::Follow(int jobId, const StateListener& onState)
{
    if (!http_ && !Connect())
        return "job state unavailable: " + failure();
    int lastState = 0;
    int answersWithoutState = 0;
    for (;;) {
        ipp_t* request = NewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
        const cups::Ipp response = Ask(request);
        if (interrupter_.interrupted())
            return "job state unavailable: interrupted";
        if (response && ippGetStatusCode(response.get()) == IPP_STATUS_ERROR_NOT_FOUND) {
            if (GoneAfterPrinting(lastState))
                return std::nullopt;
            return "job " + cups::JobStateName(lastState) + " when the printer let it go";
        }
        if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
            return "job state unavailable: " + Unsuccessful(response.get());
        const int state = ippGetInteger(ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM), 0);
        if (onState)
            onState(
                Described("job " + std::to_string(jobId) + " " + cups::JobStateName(state), response.get()));
        switch (state) {
        case IPP_JSTATE_COMPLETED:
            return std::nullopt;
        case IPP_JSTATE_STOPPED:
            return Described("job stopped", response.get());
        case IPP_JSTATE_CANCELED:
            return Described("job canceled", response.get());
        case IPP_JSTATE_ABORTED:
            return Described("job aborted", response.get());
        case 0:
            if (++answersWithoutState >= kAnswersWithoutState)
                return "job state unavailable: the printer does not tell the job's state";
            break;
        default:
            lastState = state;
            break;
        }
        if (Pause(Clock::now() + kFollowInterval, &interrupter_) == ECANCELED)
            return "job state unavailable: interrupted";
    }
}

} // namespace rawlet::direct
