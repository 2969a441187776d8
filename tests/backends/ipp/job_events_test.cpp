// A subscription to job events whose renewal fails: read on while it lasts, made anew only
// once the keeper no longer has it, and never two at once.
#include <vector>

#include <gtest/gtest.h>

#include "job_events.h"

namespace rawlet::testing {
namespace {

using namespace ipp;

// A keeper that answers every request with `status`, and a new subscription with id 9.
class Keeper final : public JobKeeper {
public:
    ipp_status_t status = IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    bool notificationsAnswered = false; // Get-Notifications succeeds, with no event
    int completedOn = 0;                // but this subscription's tells that job 7 completed
    std::vector<ipp_op_t> asked;
    std::vector<int> subscriptionsRead;

    ipp_t* NewRequest(ipp_op_t operation) const override { return ippNewRequest(operation); }
    Ipp Ask(ipp_t* request) override
    {
        const Ipp taken(request);
        const auto operation = ippGetOperation(request);
        asked.push_back(operation);
        if (operation == IPP_OP_GET_NOTIFICATIONS)
            subscriptionsRead.push_back(
                ippGetInteger(ippFindAttribute(request, "notify-subscription-ids", IPP_TAG_INTEGER), 0));
        Ipp response(ippNewResponse(request));
        const bool subscribed = operation == IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS;
        const bool answered = notificationsAnswered && operation == IPP_OP_GET_NOTIFICATIONS;
        ippSetStatusCode(response.get(), subscribed || answered ? IPP_STATUS_OK : status);
        if (subscribed)
            ippAddInteger(response.get(), IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-subscription-id", 9);
        if (answered && subscriptionsRead.back() == completedOn) {
            ippAddInteger(response.get(), IPP_TAG_EVENT_NOTIFICATION, IPP_TAG_INTEGER,
                          "notify-sequence-number", 1);
            ippAddInteger(response.get(), IPP_TAG_EVENT_NOTIFICATION, IPP_TAG_INTEGER, "notify-job-id", 7);
            ippAddInteger(response.get(), IPP_TAG_EVENT_NOTIFICATION, IPP_TAG_ENUM, "job-state",
                          IPP_JSTATE_COMPLETED);
        }
        return response;
    }
    Ipp AskAfterwards(ipp_t* request) override { return Ask(request); }
    std::string Unanswered(ipp_t*) override { return "no answer"; }
    bool Pause(std::chrono::milliseconds) override { return true; }
    bool interrupted() const override { return false; }
};

FollowRules MadeAgo(std::chrono::seconds age)
{
    FollowRules rules;
    rules.jobId = 7;
    rules.subscription = {4, Clock::now() - age};
    return rules;
}

TEST(JobEventsTest, ASubscriptionWhoseRenewalFailsIsReadOnWhileItsLeaseLasts)
{
    Keeper keeper;
    {
        JobEvents events(keeper, MadeAgo(kSubscriptionLease * 3 / 4));
        events.KeepAlive();
        events.Read();
    }
    EXPECT_EQ(keeper.asked, (std::vector<ipp_op_t>{IPP_OP_RENEW_SUBSCRIPTION, IPP_OP_GET_NOTIFICATIONS,
                                                   IPP_OP_CANCEL_SUBSCRIPTION}));
    EXPECT_EQ(keeper.subscriptionsRead, std::vector<int>{4});
}

TEST(JobEventsTest, OneTheKeeperNoLongerHasOrWhoseLeaseRanOutIsMadeAnew)
{
    for (const auto& [status, age] :
         {std::pair{IPP_STATUS_ERROR_NOT_FOUND, kSubscriptionLease * 3 / 4},
          std::pair{IPP_STATUS_ERROR_SERVICE_UNAVAILABLE, kSubscriptionLease * 2}}) {
        Keeper keeper;
        keeper.status = status;
        {
            JobEvents events(keeper, MadeAgo(age));
            events.KeepAlive();
            events.Read();
        }
        EXPECT_EQ(keeper.asked,
                  (std::vector<ipp_op_t>{IPP_OP_RENEW_SUBSCRIPTION, IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS,
                                         IPP_OP_GET_NOTIFICATIONS, IPP_OP_CANCEL_SUBSCRIPTION}));
        EXPECT_EQ(keeper.subscriptionsRead, std::vector<int>{9});
    }
}

// The events that came before the new subscription are nowhere to read: how far the job got is
// not known from them.
TEST(JobEventsTest, ASubscriptionMadeAnewTellsThatEventsMayHaveBeenMissedAndIsStillHeard)
{
    Keeper keeper;
    keeper.status = IPP_STATUS_ERROR_NOT_FOUND;
    keeper.notificationsAnswered = true;
    keeper.completedOn = 9;
    JobEvents events(keeper, MadeAgo(kSubscriptionLease * 3 / 4));
    EXPECT_FALSE(events.Read().unread);
    events.KeepAlive();
    const JobNews& news = events.Read();
    EXPECT_TRUE(news.unread);
    EXPECT_EQ(news.endState, IPP_JSTATE_COMPLETED); // and what the new one tells is heard
    EXPECT_EQ(keeper.subscriptionsRead, (std::vector<int>{4, 9}));
}

} // namespace
} // namespace rawlet::testing
