#include "queue_document.h"

#include <utility>

#include "scheduler_connection.h"

namespace rawlet::cups {

namespace {

std::string Option(const cups_dest_t& dest, const char* name)
{
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

// The queue's URI as the scheduler names it, and the resource requests for it go to.
std::string PrinterUri(const cups_dest_t& dest)
{
    const std::string uri = Option(dest, "printer-uri-supported");
    return uri.empty() ? "ipp://localhost/printers/" + std::string(dest.name) : uri;
}

std::string ResourceOf(const std::string& uri)
{
    const std::size_t authority = uri.find("//");
    const std::size_t path =
        authority == std::string::npos ? std::string::npos : uri.find('/', authority + 2);
    return path == std::string::npos ? "/" : uri.substr(path);
}

bool Succeeded(ipp_t* response)
{
    return response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING;
}

} // namespace

QueueDocument::QueueDocument(ipp::Dest dest, LentConnection http)
    : dest_(std::move(dest)), printerUri_(PrinterUri(*dest_)), resource_(ResourceOf(printerUri_)),
      http_(std::move(http))
{}

// The connection goes back for another document only after a whole answer.
QueueDocument::~QueueDocument()
{
    End();
    if (connectionBroken_)
        http_.Close();
}

bool QueueDocument::inDocument() const
{
    std::lock_guard lock(mutex_);
    return inDocument_;
}

bool QueueDocument::Start(const DocInfo& docInfo, bool subscribe, std::string& failure)
{
    std::lock_guard lock(mutex_);
    if (inDocument_)
        return false;
    if (!ConnectionReady()) {
        failure = "the scheduler does not answer: " + ipp::LastErrorText();
        return false;
    }
    if (!AcceptsJobs(failure))
        return false;
    subscription_ = subscribe ? Subscribe() : ipp::Subscription{};
    const ipp::Ipp request(PrintJobRequest(docInfo));
    if (cupsSendRequest(http_.get(), request.get(), resource_.c_str(), CUPS_LENGTH_VARIABLE) !=
        HTTP_STATUS_CONTINUE) {
        // A scheduler that answers before the document has refused it: its answer says why.
        const ipp::Ipp answer(cupsGetResponse(http_.get(), resource_.c_str()));
        connectionBroken_ = true;
        failure = "the scheduler refused the job: " + ipp::LastErrorText();
        CancelSubscription();
        return false;
    }
    stream_.Begin(httpGetFd(http_.get()));
    inDocument_ = true;
    streamBroken_ = false;
    return true;
}

// The first document after the queue was opened goes by what the scheduler said then, which
// costs no question; a later one, on a handle kept open, asks again. The scheduler's own
// message says why it rejects.
bool QueueDocument::AcceptsJobs(std::string& failure)
{
    if (std::exchange(fresh_, false) && Option(*dest_, "printer-is-accepting-jobs") != "false")
        return true;
    const PrinterAnswer printer = AskPrinter();
    if (printer.accepting)
        return true;
    failure = "the queue does not accept jobs";
    if (!printer.message.empty())
        failure += ": " + printer.message;
    return false;
}

QueueDocument::PrinterAnswer QueueDocument::AskPrinter()
{
    static const char* const kWanted[] = {"printer-is-accepting-jobs", "printer-state-message"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kWanted);
    const ipp::Ipp response(cupsDoRequest(http_.get(), request, "/"));
    connectionBroken_ = connectionBroken_ || !response;
    ipp_attribute_t* accepting =
        ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    // A scheduler that does not say leaves the answer to the Print-Job itself.
    return {!accepting || ippGetBoolean(accepting, 0) != 0,
            ipp::AttributeText(response.get(), "printer-state-message")};
}

ipp_t* QueueDocument::PrintJobRequest(const DocInfo& docInfo) const
{
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    if (const std::string title = docInfo.docName ? ipp::IppName(*docInfo.docName) : ""; !title.empty())
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_RAW);
    return request;
}

bool QueueDocument::Write(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    if (!inDocument_ || streamBroken_ || stream_.abandoned())
        return false;
    // A zero-length write would end the chunked request body: there is nothing to send.
    if (bytes.empty())
        return true;
    // libcups may keep a short write in its buffer, so an abandonment meanwhile is checked
    // as well as the result.
    if (cupsWriteRequestData(http_.get(), bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE ||
        stream_.abandoned())
        streamBroken_ = true;
    return !streamBroken_;
}

std::optional<EndedDocument> QueueDocument::End()
{
    std::lock_guard lock(mutex_);
    if (!inDocument_)
        return std::nullopt;
    inDocument_ = false;
    EndedDocument ended;
    if (streamBroken_)
        ended.failure = "the stream to the scheduler broke off: " + ipp::LastErrorText();
    else if (!stream_.Ending())
        ended.failure = "the job was cancelled";
    else
        ended.jobId = AwaitJob(ended.failure, ended.mayPrint);
    const bool abandoned = stream_.End();
    connectionBroken_ = connectionBroken_ || ended.jobId == 0 || abandoned;
    ended.accepted = ended.jobId != 0;
    if (ended.accepted && abandoned)
        CancelTaken(ended);
    if (ended.accepted)
        ended.subscription = std::exchange(subscription_, {});
    else
        CancelSubscription();
    return ended;
}

// Abandoned as the scheduler took the whole document: the job is cancelled if it can still
// be. One the scheduler will not cancel has printed, or will.
void QueueDocument::CancelTaken(EndedDocument& ended) const
{
    if (!CancelOnOwnConnection(ended.jobId))
        return;
    ended.accepted = false;
    ended.mayPrint = true;
    ended.failure = "the job was cancelled as the scheduler took it: some of it may have printed";
}

// Only a response received means the scheduler has the document: without one, libcups
// leaves the thread's previous status, often a stale success.
int QueueDocument::AwaitJob(std::string& failure, bool& mayPrint)
{
    const ipp::Ipp response(cupsGetResponse(http_.get(), resource_.c_str()));
    const bool answered = httpGetStatus(http_.get()) == HTTP_STATUS_OK && response;
    if (answered && !Succeeded(response.get())) {
        failure = "the scheduler refused the job: " + ipp::LastErrorText();
        return 0;
    }
    const int jobId =
        answered ? ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0) : 0;
    // The whole document went out: without an answer that names the job, the scheduler may
    // have made it, and it may print.
    mayPrint = jobId == 0;
    if (mayPrint)
        failure = "the scheduler did not say which job it made of the whole document (" +
                  ipp::LastErrorText() + "): the job may print";
    return jobId;
}

// A connection whose request broke off mid-way, or that the scheduler has closed since it
// last answered on it, is connected again before its next use.
bool QueueDocument::ConnectionReady()
{
    if (connectionBroken_ || http_.ClosedByScheduler())
        connectionBroken_ = httpReconnect2(http_.get(), kSchedulerDeadlineMs, nullptr) != 0;
    return !connectionBroken_;
}

ipp::Subscription QueueDocument::Subscribe()
{
    ipp_t* request = ippNewRequest(IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp::AskForJobEvents(request);
    const ipp::Ipp response(cupsDoRequest(http_.get(), request, resource_.c_str()));
    return ipp::SubscriptionMade(response.get());
}

// A document that made no job leaves no subscription behind; its connection may be broken.
void QueueDocument::CancelSubscription()
{
    const int id = std::exchange(subscription_, {}).id;
    const ipp::Http http = id != 0 ? ConnectWithDeadline(kAfterwardsDeadlineMs) : nullptr;
    if (!http)
        return;
    ipp_t* request = ippNewRequest(IPP_OP_CANCEL_SUBSCRIPTION);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id", id);
    const ipp::Ipp answer(cupsDoRequest(http.get(), request, "/"));
}

bool QueueDocument::CancelOnOwnConnection(int jobId) const
{
    const ipp::Http http = ConnectWithDeadline();
    return http && cupsCancelDestJob(http.get(), dest_.get(), jobId) == IPP_STATUS_OK;
}

} // namespace rawlet::cups
