// ipp://HOST[:PORT][/PATH][?timeout=S], ipps://...: an IPP printer, or a queue of a remote
// scheduler, reached straight at its URI (port 631 by default; a printer at the root when
// there is no path). timeout=S bounds the connection, a stall and each answer (10 s).
//
// One Print-Job request per document, its body streamed as it is written, as raw data
// (application/octet-stream). Delivered once the printer answers that it took the job.
// Requests go out as IPP/2.0, and as 1.1 or 1.0 to a printer that refuses the newer version
// when first asked for its state: the version it took serves every later request, unless
// the printer refuses it for jobs when the first job is validated.
#include "posix_transports.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iterator>

namespace rawlet::direct {

namespace {

constexpr int kIppVersions[] = {20, 11, 10}; // newest first

// What the printer had of a Print-Job: one whose body stopped part-way makes no job.
constexpr const char* kNotTaken = "the printer had not taken the job: nothing will print";
constexpr const char* kWholeJob = "the printer had the whole job and may print it";

// The connection's time limit: libcups asks once it has waited that long; no means give up.
int GiveUp(http_t*, void*) { return 0; }

bool Succeeded(ipp_t* response)
{
    return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING;
}

// Printers of an older IPP say so, or some of them call the newer version a bad request.
bool WantsOlderVersion(ipp_t* response)
{
    const ipp_status_t status = ippGetStatusCode(response);
    return status == IPP_STATUS_ERROR_VERSION_NOT_SUPPORTED || status == IPP_STATUS_ERROR_BAD_REQUEST;
}

// "client-error-not-found (The printer or class does not exist.)": the status the printer
// answered with, and its own message when it gave one.
std::string Answer(ipp_t* response)
{
    const std::string status = ippErrorString(ippGetStatusCode(response));
    const std::string message = ipp::AttributeText(response, "status-message");
    return message.empty() ? status : status + " (" + message + ")";
}

// The URI as the printer names itself: without options, and with "/" for a bare authority.
std::string PrinterUri(const std::string& text)
{
    std::string uri = text.substr(0, text.find('?'));
    const std::size_t authority = uri.find("//") + 2;
    if (uri.find('/', authority) == std::string::npos)
        uri += '/';
    return uri;
}

std::optional<platform::PrinterStatus::State> StateOf(int ippState)
{
    switch (ippState) {
    case IPP_PSTATE_IDLE:
        return platform::PrinterStatus::State::Idle;
    case IPP_PSTATE_PROCESSING:
        return platform::PrinterStatus::State::Processing;
    case IPP_PSTATE_STOPPED:
        return platform::PrinterStatus::State::Stopped;
    default:
        return std::nullopt;
    }
}

// The printer's own account of its state; what it leaves out stays unknown.
StatusFacts FactsFrom(ipp_t* response)
{
    StatusFacts facts;
    facts.state = StateOf(ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0));
    facts.reasons = ipp::AttributeStrings(response, "printer-state-reasons");
    std::erase(facts.reasons, "none");
    facts.message = ipp::AttributeText(response, "printer-state-message");
    if (ipp_attribute_t* accepting = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        facts.acceptingJobs = ippGetBoolean(accepting, 0) != 0;
    if (ipp_attribute_t* queued = ippFindAttribute(response, "queued-job-count", IPP_TAG_INTEGER))
        facts.queuedJobs = ippGetInteger(queued, 0);
    facts.deviceId = ipp::AttributeText(response, "printer-device-id");
    return facts;
}

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 1));
}

} // namespace

IppDevice::IppDevice(DeviceUri uri) : uri_(std::move(uri)), printerUri_(PrinterUri(uri_.text)) {}

// Why a request did not succeed: the printer's refusal when it answered at all, in IPP or
// in HTTP, and that it does not answer only when nothing came back.
std::string IppDevice::Unsuccessful(ipp_t* response) const
{
    if (interrupter_.interrupted())
        return "interrupted";
    if (response)
        return "the printer refused: " + Answer(response);
    const http_status_t status = http_ ? httpGetStatus(http_.get()) : HTTP_STATUS_ERROR;
    if (status >= HTTP_STATUS_BAD_REQUEST)
        return "the printer refused: HTTP " + std::to_string(status) + " (" + ipp::LastErrorText() + ")";
    return "the printer does not answer: " + ipp::LastErrorText();
}

// libcups says "Host is down" for every refusal; a connection of our own, which fails as
// fast, tells the system's reason. It has what is left of the connection's time, at least a
// second.
std::string IppDevice::ConnectionFailure(int error, Clock::time_point deadline)
{
    if (interrupter_.interrupted())
        return "interrupted";
    if (error == ETIMEDOUT || error == 0)
        return TimedOut(uri_.timeout) + " connecting";
    if (error != EHOSTDOWN)
        return Reason(error);
    DeviceUri plain = uri_;
    plain.kind = DeviceUri::Kind::Socket;
    plain.timeout =
        std::max(std::chrono::ceil<std::chrono::seconds>(deadline - Clock::now()), std::chrono::seconds(1));
    const std::string why = Probe(std::move(plain));
    return why.empty() ? Reason(error) : why;
}

// Connects to `uri` as AppSocket, where Interrupt() can end it too; the reason it failed, or
// nothing.
std::string IppDevice::Probe(DeviceUri uri)
{
    SocketDevice probe(std::move(uri));
    {
        std::lock_guard lock(httpMutex_);
        if (interrupter_.interrupted())
            return "interrupted";
        probe_ = &probe;
    }
    const bool connected = probe.Connect();
    std::lock_guard lock(httpMutex_);
    probe_ = nullptr;
    return connected ? std::string() : probe.failure();
}

// Connects and asks the printer for its state, so a wrong path or a printer that is gone
// fails before the document starts.
bool IppDevice::Connect()
{
    if (interrupter_.interrupted())
        return Fail("interrupted");
    return OpenConnection() && AskPrinterState();
}

// The name lookup and the connection share the URI's timeout, and both end on Interrupt().
bool IppDevice::OpenConnection()
{
    const Clock::time_point deadline = Clock::now() + uri_.timeout;
    std::string failure;
    const Addresses found = LookUpHost(uri_.host, uri_.port, deadline, &interrupter_, failure);
    if (!found)
        return Fail(failure);
    const ipp::AddressList addresses = ipp::HttpAddresses(found.get());
    if (!addresses)
        return Fail("cannot find " + uri_.host + ": no address to connect to");
    const auto encryption =
        uri_.kind == DeviceUri::Kind::Ipps ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED;
    // Made first and connected after, so that a failure can be read off the connection.
    Keep(ipp::Http(
        httpConnect2(uri_.host.c_str(), uri_.port, addresses.get(), AF_UNSPEC, encryption, 1, 0, nullptr)));
    if (!http_)
        return Fail("cannot connect to " + uri_.host + ": " + ipp::LastErrorText());
    httpSetTimeout(http_.get(), static_cast<double>(uri_.timeout.count()), GiveUp, nullptr);
    if (httpReconnect2(http_.get(), RemainingMs(deadline), &cancelConnect_) != 0) {
        const int error = httpError(http_.get());
        Keep(nullptr);
        if (error == EIO && encryption == HTTP_ENCRYPTION_ALWAYS) // the TLS handshake's, told by libcups
            return Fail("cannot encrypt the connection: " + ipp::LastErrorText());
        return Fail(ConnectionFailure(error, deadline));
    }
    if (WatchConnection())
        return true;
    Keep(nullptr);
    return Fail("interrupted");
}

// Asks in each IPP version in turn, newest first, until the printer takes one, and keeps
// what it says of its state.
bool IppDevice::AskPrinterState()
{
    jobVersionChosen_ = false;
    static const char* const kWanted[] = {"printer-state",
                                          "printer-state-reasons",
                                          "printer-state-message",
                                          "printer-is-accepting-jobs",
                                          "queued-job-count",
                                          "printer-device-id",
                                          "notify-pull-method-supported"};
    for (const int version : kIppVersions) {
        version_ = version;
        ipp_t* request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(std::size(kWanted)), nullptr, kWanted);
        const ipp::Ipp response = Ask(request);
        if (Succeeded(response.get())) {
            facts_ = FactsFrom(response.get());
            offersEvents_ =
                std::ranges::count(ipp::AttributeStrings(response.get(), "notify-pull-method-supported"),
                                   "ippget") != 0;
            return true;
        }
        if (!response || !WantsOlderVersion(response.get()) || version == kIppVersions[2]) {
            refused_ = response || httpGetStatus(http_.get()) >= HTTP_STATUS_BAD_REQUEST;
            Fail(Unsuccessful(response.get()));
            Keep(nullptr);
            return false;
        }
    }
    return false;
}

ipp_t* IppDevice::NewRequest(ipp_op_t operation) const
{
    ipp_t* request = ippNewRequest(operation);
    ippSetVersion(request, version_ / 10, version_ % 10);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    return request;
}

ipp::Ipp IppDevice::Ask(ipp_t* request)
{
    ipp::Ipp response(cupsDoRequest(http_.get(), request, uri_.path.c_str()));
    WatchConnection(); // an interruption shows in the next request, and in the callers' checks
    return response;
}

// Some printers take IPP/2.0 when asked for their state but refuse it for jobs, and say so
// only once they have read a job's whole document: that document would then have to go out
// a second time, or be lost. Validate-Job, a job without its document, finds the version
// before the first document starts, once per connection. A printer that does not know
// Validate-Job, or refuses it for another reason, keeps the version of its state: its
// Print-Job tells.
bool IppDevice::ChooseJobVersion()
{
    for (const int version : kIppVersions) {
        if (version > version_)
            continue;
        version_ = version;
        ipp_t* request = NewRequest(IPP_OP_VALIDATE_JOB);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                     "application/octet-stream");
        const ipp::Ipp response = Ask(request);
        const bool answered = response || httpGetStatus(http_.get()) >= HTTP_STATUS_BAD_REQUEST;
        const bool olderWanted =
            response && ippGetStatusCode(response.get()) == IPP_STATUS_ERROR_VERSION_NOT_SUPPORTED;
        if (interrupter_.interrupted() || !answered || (olderWanted && version == kIppVersions[2])) {
            Fail(Unsuccessful(response.get()));
            Keep(nullptr);
            return false;
        }
        if (!olderWanted)
            break;
    }
    jobVersionChosen_ = true;
    return true;
}

bool IppDevice::Begin(const std::string& title)
{
    StartCounting();
    if (!http_ && !Connect())
        return false;
    if (!jobVersionChosen_ && !ChooseJobVersion())
        return false;
    events_ = {};
    if (subscribeAtStart_ && offersEvents_) {
        ipp_t* subscription = NewRequest(IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
        ipp::AskForJobEvents(subscription);
        events_ = ipp::SubscriptionMade(Ask(subscription).get());
    }
    ipp::Ipp request(NewRequest(IPP_OP_PRINT_JOB));
    if (!title.empty())
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     ipp::IppName(title).c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/octet-stream");
    stage_ = Stage::Sending;
    const http_status_t status =
        cupsSendRequest(http_.get(), request.get(), uri_.path.c_str(), CUPS_LENGTH_VARIABLE);
    if (status == HTTP_STATUS_CONTINUE && !WatchConnection()) {
        Abort();
        return Fail("interrupted");
    }
    if (status != HTTP_STATUS_CONTINUE) {
        stage_ = Stage::None;
        const std::string why = interrupter_.interrupted() ? "interrupted"
                                : status >= HTTP_STATUS_BAD_REQUEST
                                    ? "HTTP " + std::to_string(status) + " (" + ipp::LastErrorText() + ")"
                                    : ipp::LastErrorText();
        Keep(nullptr);
        return Fail("the printer refused the job: " + why);
    }
    return true;
}

bool IppDevice::Write(std::string_view bytes)
{
    if (stage_ != Stage::Sending)
        return Fail("no job in progress");
    if (interrupter_.interrupted()) {
        Abort();
        return Fail("interrupted");
    }
    // A zero-length write would end the chunked body.
    if (bytes.empty())
        return true;
    if (cupsWriteRequestData(http_.get(), bytes.data(), bytes.size()) == HTTP_STATUS_CONTINUE)
        return true;
    NoteTaken(kNotTaken, true);
    Abort();
    return Fail("sending the job: " + (interrupter_.interrupted() ? "interrupted" : ipp::LastErrorText()));
}

bool IppDevice::Finish()
{
    if (stage_ != Stage::Sending)
        return Fail("no job in progress");
    // Reading the response ends the body: an interrupted job must not be ended whole. The
    // stage changes under Interrupt()'s lock, so that it tells which of the two came first.
    {
        std::lock_guard lock(httpMutex_);
        if (!interrupter_.interrupted())
            stage_ = Stage::AwaitingAnswer;
    }
    if (stage_ != Stage::AwaitingAnswer) {
        Abort();
        return Fail("interrupted");
    }
    const ipp::Ipp response(cupsGetResponse(http_.get(), uri_.path.c_str()));
    stage_ = Stage::None;
    // Only a response received means the printer has the job: without one, libcups leaves
    // the thread's previous status, often a stale success.
    if (httpGetStatus(http_.get()) == HTTP_STATUS_OK && Succeeded(response.get())) {
        jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
        return true;
    }
    // A printer that answered has refused the job; one that did not may have it.
    if (response)
        NoteTaken(kNotTaken, true);
    else
        NoteTaken(kWholeJob, false);
    Fail("the printer did not take the job: " + Unsuccessful(response.get()));
    Keep(nullptr);
    return false;
}

// Closing the connection mid-request makes the printer drop the unfinished job.
void IppDevice::Abort() noexcept
{
    stage_ = Stage::None;
    Keep(nullptr);
}

// Interrupt() shuts a descriptor of our own for libcups's socket, never the number libcups
// holds: libcups reconnects inside some requests, and a number it let go of may by then be
// another thread's socket. Taken by the thread that uses the connection, after each call
// that may have reconnected; under Interrupt()'s lock, so that a connection made just after
// an interruption is shut here. False once interrupted.
bool IppDevice::WatchConnection()
{
    std::lock_guard lock(httpMutex_);
    const int fd = http_ ? httpGetFd(http_.get()) : -1;
    watched_.Reset(fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1);
    if (!interrupter_.interrupted())
        return true;
    if (watched_)
        ::shutdown(watched_.get(), SHUT_RDWR);
    return false;
}

// Our descriptor goes with the connection: it would hold the socket open past libcups's close.
void IppDevice::Keep(ipp::Http http) noexcept
{
    std::lock_guard lock(httpMutex_);
    watched_.Reset();
    http_ = std::move(http);
}

// The connection is shut, not closed, under the thread that uses it: its call fails at once,
// and the request body it was sending stays unfinished, so the printer drops the job. A
// connection being made ends at libcups's next look at its cancel flag.
void IppDevice::Interrupt() noexcept
{
    std::lock_guard lock(httpMutex_);
    switch (stage_) {
    case Stage::Sending:
        NoteTaken(kNotTaken, true);
        break;
    case Stage::AwaitingAnswer:
        NoteTaken(kWholeJob, false);
        break;
    case Stage::None:
        break;
    }
    interrupter_.Interrupt();
    std::atomic_ref<int>(cancelConnect_).store(1);
    if (watched_)
        ::shutdown(watched_.get(), SHUT_RDWR);
    if (probe_)
        probe_->Interrupt();
}

// The printer, as the job follower asks it, on this device's connection.
class IppDevice::PrinterJobs : public ipp::JobKeeper {
public:
    explicit PrinterJobs(IppDevice& device) : device_(device) {}

    ipp_t* NewRequest(ipp_op_t operation) const override { return device_.NewRequest(operation); }
    ipp::Ipp Ask(ipp_t* request) override
    {
        if (!device_.http_ || interrupted()) {
            ippDelete(request);
            return nullptr;
        }
        ipp::Ipp response = device_.Ask(request);
        return interrupted() ? nullptr : std::move(response);
    }
    // This device's connection ended with the interruption: a device of its own, with a short
    // timeout, since the program may be ending.
    ipp::Ipp AskAfterwards(ipp_t* request) override
    {
        constexpr std::chrono::seconds kAfterwardsTimeout{5};
        DeviceUri uri = device_.uri_;
        uri.timeout = std::min(uri.timeout, kAfterwardsTimeout);
        IppDevice afterwards(std::move(uri));
        if (!afterwards.Connect()) {
            ippDelete(request);
            return nullptr;
        }
        return afterwards.Ask(request);
    }
    std::string Unanswered(ipp_t* response) override { return device_.Unsuccessful(response); }
    bool Pause(std::chrono::milliseconds interval) override
    {
        return posixapi::Pause(Clock::now() + interval, &device_.interrupter_) != ECANCELED;
    }
    bool interrupted() const override { return device_.interrupter_.interrupted(); }

private:
    IppDevice& device_;
};

ipp::JobEnd IppDevice::Follow(int jobId, const std::string& jobName,
                              std::optional<Clock::time_point> deadline, const StateListener& onState,
                              ipp::Subscription events)
{
    // A printer may not tell a job's state at all.
    constexpr int kAnswersWithoutState = 20;
    if (!http_ && !Connect())
        return {Outcome::unknown, jobName + " may print: its state is unavailable: " + failure()};
    PrinterJobs printer(*this);
    ipp::FollowRules rules;
    rules.jobId = jobId;
    rules.jobName = jobName;
    rules.keeperName = "the printer";
    rules.offersEvents = offersEvents_;
    rules.answersWithoutState = kAnswersWithoutState;
    rules.deadline = deadline;
    rules.subscription = events;
    return ipp::FollowJob(printer, rules, onState);
}

} // namespace rawlet::direct
