#pragma once

// What the scheduler's queues and the IPP printers reached directly share: owners for
// libcups's objects, reading IPP messages, job names, and the one follower of a job until it
// has printed.

#include <netdb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <cups/cups.h>

#include "job_end.h"

namespace rawlet::ipp {

// Owners for the libcups objects a printer handle holds.
struct DestDeleter {
    void operator()(cups_dest_t* dest) const noexcept { cupsFreeDests(1, dest); }
};
struct HttpDeleter {
    void operator()(http_t* http) const noexcept { httpClose(http); }
};
struct DestInfoDeleter {
    void operator()(cups_dinfo_t* info) const noexcept { cupsFreeDestInfo(info); }
};
struct AddressListDeleter {
    void operator()(http_addrlist_t* list) const noexcept { httpAddrFreeList(list); }
};
struct IppDeleter {
    void operator()(ipp_t* ipp) const noexcept { ippDelete(ipp); }
};

using Dest = std::unique_ptr<cups_dest_t, DestDeleter>;
using Http = std::unique_ptr<http_t, HttpDeleter>;
using DestInfo = std::unique_ptr<cups_dinfo_t, DestInfoDeleter>;
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;
using AddressList = std::unique_ptr<http_addrlist_t, AddressListDeleter>;

// The non-empty string values of the attribute `name` in an IPP message; none when it is
// absent.
std::vector<std::string> AttributeStrings(ipp_t* message, const char* name);
// The same values joined by ", ", for a message to a person.
std::string AttributeText(ipp_t* message, const char* name);
// "pending", "held", "processing", ...: a job's state as the command shows it.
std::string JobStateName(int state);
// The text of libcups's last error. libcups leaves the message null for some statuses, and
// empty for others: the status's own name stands in for it then.
std::string LastErrorText();

// The most octets IPP carries in a name, such as a job's or a document's.
constexpr std::size_t kIppNameOctets = 255;
// `text` cut to what IPP carries in a name: its first kIppNameOctets octets at most, ending on
// a whole UTF-8 character. A longer name would make the scheduler refuse the job.
std::string IppName(std::string_view text);

// The addresses of a lookup as libcups's own list, for httpConnect2, which then needs no
// lookup of its own (it has no deadline). Null when `found` holds no address libcups can use.
AddressList HttpAddresses(const addrinfo* found);

// ---- Following a job until it has printed (job_follower.cpp, job_events.cpp) -------------

// Whoever keeps a job until it has printed, a scheduler or an IPP printer, as the follower
// asks it.
class JobKeeper {
public:
    virtual ~JobKeeper() = default;
    // A request of `operation` to the job's printer: its printer-uri and the requesting user
    // set, in the IPP version the keeper speaks.
    virtual ipp_t* NewRequest(ipp_op_t operation) const = 0;
    // Sends `request`, which it takes; the answer, or null when none came, as when the wait
    // was interrupted.
    virtual Ipp Ask(ipp_t* request) = 0;
    // The same on a connection of its own that the interruption does not end, and with a
    // short deadline, for what is still to be done once the wait has ended: cancelling the
    // job and the subscription.
    virtual Ipp AskAfterwards(ipp_t* request) = 0;
    // Why `response`, null or unsuccessful, says nothing.
    virtual std::string Unanswered(ipp_t* response) = 0;
    // Waits `interval` before the next question; false when the wait was interrupted.
    virtual bool Pause(std::chrono::milliseconds interval) = 0;
    virtual bool interrupted() const = 0;
};

// Makes `request`, a Create-Printer-Subscriptions, ask for such a subscription.
void AskForJobEvents(ipp_t* request);
// The subscription an answer to that request made; none when the printer refused it.
Subscription SubscriptionMade(ipp_t* response);

// Where the jobs and their keepers differ.
struct FollowRules {
    int jobId = 0;
    // "job Receipts-7", "job 7": the job as the lines and reasons name it.
    std::string jobName;
    // "the scheduler", "the printer": the keeper as the reasons name it.
    std::string keeperName;
    // Made before the job could end, to catch every event of it; none when there is none
    // yet: the follower then subscribes itself, if the keeper offers ippget.
    Subscription subscription;
    bool offersEvents = true;
    // Answers without a job state before the keeper is taken not to tell it.
    int answersWithoutState = 1;
    // When the wait ends with the job still open, which is then left as it is; none to wait
    // until the job ends.
    std::optional<Clock::time_point> deadline;
};

// Follows a job until its keeper says it completed, or that it can no longer complete.
// A job that stopped, or whose printer stopped, is cancelled, so that it does not print once
// they run again; so is one whose wait was interrupted (keeper.Pause or Ask fails). A job
// that completed is printed; one the keeper forgot without a word of its end is unknown.
// `onState`, when given, hears the job's state each time it is asked, as a line such as
// "job Receipts-7 processing".
using JobStateListener = std::function<void(const std::string& line)>;
JobEnd FollowJob(JobKeeper& keeper, const FollowRules& rules, const JobStateListener& onState = nullptr);

} // namespace rawlet::ipp
