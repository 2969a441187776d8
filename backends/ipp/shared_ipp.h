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

// Whoever keeps a job until it has printed, a scheduler or an IPP printer, as the follower
// asks it.
class JobKeeper {
public:
    virtual ~JobKeeper() = default;
    // The job's state attributes (job-state, job-state-reasons, job-printer-state-message);
    // null when no answer came.
    virtual Ipp AskJob() = 0;
    // The state attributes of the job's printer (printer-state, printer-state-reasons,
    // printer-state-message), for a follower that watches the printer; null when no answer came.
    virtual Ipp AskPrinter() = 0;
    // Why `response`, null or unsuccessful, says nothing of the job.
    virtual std::string Unanswered(ipp_t* response) = 0;
    // Whether the answer to AskJob says the keeper no longer knows the job.
    virtual bool Forgot(ipp_t* response)
    {
        return response && ippGetStatusCode(response) == IPP_STATUS_ERROR_NOT_FOUND;
    }
    // Waits `interval` before the next question; false when the wait was interrupted.
    virtual bool Pause(std::chrono::milliseconds interval) = 0;
};

// Where the keepers of jobs differ.
struct FollowRules {
    // "job Q-7", "job 7": the job as the lines and reasons name it.
    std::string jobName;
    // "the scheduler", "the printer": the keeper as the lines and reasons name it.
    std::string keeperName;
    // A scheduler that keeps no job history forgets a job as soon as it ends, however it
    // ended: a job it forgot is taken as printed, with a line saying so. A printer lets go of a
    // job it will not print: one it forgot while the job waited (pending or held) did not
    // print there.
    bool forgottenWaitingJobPrinted = true;
    // Ask the printer's state too, so that a printer that stops ends the wait.
    bool watchPrinter = false;
    // Answers without a job state before the keeper is taken not to tell it.
    int answersWithoutState = 1;
};

struct JobEnd {
    bool printed = false;
    std::string reason; // why not, in the keeper's words where it gave them
    // For a job that did not print because it or its printer stopped: the last state it was
    // seen in (pending, held, processing, stopped), since it may print once they run again;
    // 0 otherwise.
    int openState = 0;
};

// Follows a job until its keeper says it completed, or that it can no longer complete: the
// job stopped, was canceled or aborted, or (watched) its printer stopped. `onState`, when
// given, hears the job's state each time it is asked, as a line such as "job Q-7 processing".
using JobStateListener = std::function<void(const std::string& line)>;
JobEnd FollowJob(JobKeeper& keeper, const FollowRules& rules, const JobStateListener& onState = nullptr);

} // namespace rawlet::ipp
