#pragma once

#include <string>

#include "shared_ipp.h"

namespace rawlet::ipp {

// What the events of a subscription have told of one job so far.
struct JobNews {
    int endState = 0;     // completed, canceled or aborted, once an event said so
    std::string endWords; // the keeper's words for that end
    bool begun = false;   // an event saw it processing: some of it may have printed
    bool unread = false;  // an event may be missed: the last read had no answer, or the
                          // subscription was made anew
};

// The events of a printer subscription, as the follower of one job reads them: the
// subscription given, or else one of its own when the keeper offers ippget. Cancelled with
// this object.
class JobEvents {
public:
    JobEvents(JobKeeper& keeper, const FollowRules& rules);
    ~JobEvents();
    JobEvents(const JobEvents&) = delete;
    JobEvents& operator=(const JobEvents&) = delete;

    // Whether there is a subscription to read.
    bool active() const noexcept { return subscription_.id != 0; }
    // Renews the lease once half of it has gone, or subscribes anew once it has ended.
    void KeepAlive();
    // Reads the events that came since the last read: what they have told of the job so far.
    const JobNews& Read();

private:
    void Subscribe();
    Ipp AskKeeper(ipp_t* request);

    JobKeeper& keeper_;
    const int jobId_;
    Subscription subscription_;
    int nextSequence_ = 1;
    bool gap_ = false; // the subscription was made anew while the job was followed
    JobNews news_;
};

} // namespace rawlet::ipp
