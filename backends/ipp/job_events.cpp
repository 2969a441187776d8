// A printer subscription to job events, and what its events tell of one job.
#include "job_events.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

namespace rawlet::ipp {

namespace {

bool Succeeded(ipp_t* response)
{
    return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING;
}

// One event notification: its number in the subscription, and the job it tells of.
struct Event {
    int sequence = 0;
    int jobId = 0;
    int jobState = 0;
    std::string words;
};

std::string FirstString(ipp_attribute_t* attribute)
{
    const char* text = ippGetString(attribute, 0, nullptr);
    return text ? text : "";
}

void Note(Event& event, ipp_attribute_t* attribute)
{
    const std::string_view name = ippGetName(attribute);
    if (name == "notify-sequence-number")
        event.sequence = ippGetInteger(attribute, 0);
    else if (name == "notify-job-id")
        event.jobId = ippGetInteger(attribute, 0);
    else if (name == "job-state")
        event.jobState = ippGetInteger(attribute, 0);
    else if (name == "notify-text")
        event.words = FirstString(attribute);
}

// The event notification groups of a Get-Notifications answer, one event each; a nameless
// attribute separates two groups.
std::vector<Event> EventsIn(ipp_t* response)
{
    std::vector<Event> events;
    bool inGroup = false;
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute;
         attribute = ippNextAttribute(response)) {
        if (ippGetGroupTag(attribute) != IPP_TAG_EVENT_NOTIFICATION || !ippGetName(attribute)) {
            inGroup = false;
            continue;
        }
        if (!inGroup)
            events.emplace_back();
        inGroup = true;
        Note(events.back(), attribute);
    }
    return events;
}

bool Final(int state)
{
    return state == IPP_JSTATE_COMPLETED || state == IPP_JSTATE_CANCELED || state == IPP_JSTATE_ABORTED;
}

} // namespace

void AskForJobEvents(ipp_t* request)
{
    static const char* const kEvents[] = {"job-state-changed", "job-completed"};
    ippAddString(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method", nullptr, "ippget");
    ippAddStrings(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events",
                  static_cast<int>(std::size(kEvents)), nullptr, kEvents);
    ippAddInteger(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration",
                  static_cast<int>(kSubscriptionLease.count()));
}

Subscription SubscriptionMade(ipp_t* response)
{
    if (!Succeeded(response))
        return {};
    return {ippGetInteger(ippFindAttribute(response, "notify-subscription-id", IPP_TAG_INTEGER), 0),
            Clock::now()};
}

JobEvents::JobEvents(JobKeeper& keeper, const FollowRules& rules)
    : keeper_(keeper), jobId_(rules.jobId), subscription_(rules.subscription)
{
    if (!active() && rules.offersEvents)
        Subscribe();
}

JobEvents::~JobEvents()
{
    if (!active())
        return;
    ipp_t* request = keeper_.NewRequest(IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", subscription_.id);
    AskKeeper(request);
}

void JobEvents::Subscribe()
{
    ipp_t* request = keeper_.NewRequest(IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
    AskForJobEvents(request);
    subscription_ = SubscriptionMade(AskKeeper(request).get());
    nextSequence_ = 1;
}

// A renewal that fails leaves the subscription as it is, read and renewed again until its
// lease has run out: a new one would not tell what came before it, and two would be one left
// behind. Only one the keeper no longer has, or whose lease has run out, is made anew.
void JobEvents::KeepAlive()
{
    if (!active() || Clock::now() < subscription_.made + kSubscriptionLease / 2)
        return;
    ipp_t* request = keeper_.NewRequest(IPP_OP_RENEW_SUBSCRIPTION);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", subscription_.id);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-lease-duration",
                  static_cast<int>(kSubscriptionLease.count()));
    const Ipp response = AskKeeper(request);
    if (Succeeded(response.get())) {
        subscription_.made = Clock::now();
        return;
    }
    const bool gone = response && ippGetStatusCode(response.get()) == IPP_STATUS_ERROR_NOT_FOUND;
    const bool lapsed = Clock::now() >= subscription_.made + kSubscriptionLease;
    if ((gone || lapsed) && !keeper_.interrupted()) {
        Subscribe();
        gap_ = true; // what the old one held unread, or came before the new one, is nowhere now
    }
}

const JobNews& JobEvents::Read()
{
    if (!active())
        return news_;
    ipp_t* request = keeper_.NewRequest(IPP_OP_GET_NOTIFICATIONS);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids", subscription_.id);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers", nextSequence_);
    const Ipp response = AskKeeper(request);
    const bool answered = Succeeded(response.get());
    // After a gap the new subscription's events are still heard: its job-completed may be the
    // only word of a job the keeper forgets at once.
    news_.unread = gap_ || !answered;
    if (!answered)
        return news_;
    for (const Event& event : EventsIn(response.get())) {
        // The keeper's number, untrusted: one past the largest int is not asked for.
        if (event.sequence >= nextSequence_ && event.sequence < std::numeric_limits<int>::max())
            nextSequence_ = event.sequence + 1;
        if (event.jobId != jobId_)
            continue;
        news_.begun = news_.begun || event.jobState == IPP_JSTATE_PROCESSING;
        if (Final(event.jobState) && news_.endState == 0)
            news_ = {event.jobState, event.words, news_.begun, gap_};
    }
    return news_;
}

// Once the wait was interrupted, what is still to be said goes on a connection of its own.
Ipp JobEvents::AskKeeper(ipp_t* request)
{
    return keeper_.interrupted() ? keeper_.AskAfterwards(request) : keeper_.Ask(request);
}

} // namespace rawlet::ipp
