#include "ipp_device.h"

#include <sys/socket.h>

#include <cerrno>
#include <climits>
#include <thread>

#include "backends/cups/ipp_attributes.h"
#include "fd_io.h"
#include "socket_device.h"

namespace rawlet::direct {

namespace {

// The connection's time limit: libcups asks once it has waited that long; no means give up.
int GiveUp(http_t*, void*) { return 0; }

bool Succeeded() { return cupsLastError() <= IPP_STATUS_OK_CONFLICTING; }

} // namespace

IppDevice::IppDevice(DeviceUri uri)
    : uri_(std::move(uri)), printerUri_(uri_.text.substr(0, uri_.text.find('?')))
{}

bool IppDevice::FailWithIppError(const std::string& doing)
{
    const char* text = cupsLastErrorString();
    return Fail(doing + ": " + (text && *text ? text : ippErrorString(cupsLastError())));
}

// libcups says "Host is down" for every refusal; a connection of our own, which fails as
// fast, tells the system's reason.
std::string IppDevice::ConnectionFailure(int error) const
{
    if (error == ETIMEDOUT || error == 0)
        return TimedOut(uri_.timeout) + " connecting";
    if (error == EHOSTDOWN) {
        DeviceUri plain = uri_;
        plain.kind = DeviceUri::Kind::Socket;
        SocketDevice probe(std::move(plain));
        if (!probe.Connect())
            return probe.failure();
    }
    return Reason(error);
}

// Connects and asks the printer for its state, so a wrong path or a printer that is gone
// fails before the document starts.
bool IppDevice::Connect()
{
    if (interrupted_)
        return Fail("interrupted");
    const auto encryption =
        uri_.kind == DeviceUri::Kind::Ipps ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED;
    // Made first and connected after, so that a failure can be read off the connection.
    Keep(cups::Http(
        httpConnect2(uri_.host.c_str(), uri_.port, nullptr, AF_UNSPEC, encryption, 1, 0, nullptr)));
    if (!http_)
        return Fail("cannot find " + uri_.host);
    httpSetTimeout(http_.get(), static_cast<double>(uri_.timeout.count()), GiveUp, nullptr);
    const auto timeoutMs =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(uri_.timeout).count());
    int cancel = 0;
    if (httpReconnect2(http_.get(), timeoutMs, &cancel) != 0) {
        const int error = httpError(http_.get());
        Keep(nullptr);
        if (error == EIO && encryption == HTTP_ENCRYPTION_ALWAYS) // the TLS handshake's, told by libcups
            return FailWithIppError("cannot encrypt the connection");
        return Fail(ConnectionFailure(error));
    }

    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state");
    const cups::Ipp response(cupsDoRequest(http_.get(), request, uri_.path.c_str()));
    if (!response || !Succeeded()) {
        FailWithIppError("the printer does not answer");
        Keep(nullptr);
        return false;
    }
    return true;
}

bool IppDevice::Begin(const std::string& title)
{
    if (!http_ && !Connect())
        return false;
    cups::Ipp request(ippNewRequest(IPP_OP_PRINT_JOB));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    if (!title.empty())
        ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 "application/octet-stream");
    if (cupsSendRequest(http_.get(), request.get(), uri_.path.c_str(), CUPS_LENGTH_VARIABLE) !=
        HTTP_STATUS_CONTINUE) {
        Keep(nullptr);
        return FailWithIppError("the printer refused the job");
    }
    inRequest_ = true;
    return true;
}

bool IppDevice::Write(std::string_view bytes)
{
    if (!inRequest_)
        return Fail("no job in progress");
    // A zero-length write would end the chunked body.
    if (bytes.empty())
        return true;
    if (cupsWriteRequestData(http_.get(), bytes.data(), bytes.size()) == HTTP_STATUS_CONTINUE)
        return true;
    Abort();
    return FailWithIppError("sending the job");
}

bool IppDevice::Finish()
{
    if (!inRequest_)
        return Fail("no job in progress");
    inRequest_ = false;
    const cups::Ipp response(cupsGetResponse(http_.get(), uri_.path.c_str()));
    // Only a response received means the printer has the job: without one, libcups leaves
    // the thread's previous status, often a stale success.
    if (response && httpGetStatus(http_.get()) == HTTP_STATUS_OK && Succeeded()) {
        jobId_ = ippGetInteger(ippFindAttribute(response.get(), "job-id", IPP_TAG_INTEGER), 0);
        return true;
    }
    Keep(nullptr);
    return FailWithIppError("the printer did not take the job");
}

// Closing the connection mid-request makes the printer drop the unfinished job.
void IppDevice::Abort() noexcept
{
    inRequest_ = false;
    Keep(nullptr);
}

void IppDevice::Keep(cups::Http http) noexcept
{
    std::lock_guard lock(httpMutex_);
    http_ = std::move(http);
}

// The connection is shut, not closed, under the thread that uses it: its call fails at once,
// and the request body it was sending stays unfinished, so the printer drops the job.
void IppDevice::Interrupt() noexcept
{
    interrupted_ = true;
    std::lock_guard lock(httpMutex_);
    if (http_)
        ::shutdown(httpGetFd(http_.get()), SHUT_RDWR);
}

namespace {

constexpr auto kFollowInterval = std::chrono::milliseconds(100);

std::string Described(const char* what, ipp_t* response)
{
    std::string why = cups::AttributeText(response, "job-printer-state-message");
    if (why.empty())
        why = cups::AttributeText(response, "job-state-reasons");
    return why.empty() ? what : std::string(what) + ": " + why;
}

} // namespace

std::optional<std::string> FollowIppJob(const DeviceUri& uri, int jobId)
{
    IppDevice device(uri);
    if (!device.Connect())
        return "job state unavailable: " + device.failure();
    return device.Follow(jobId);
}

std::optional<std::string> IppDevice::Follow(int jobId)
{
    for (;;) {
        ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri_.c_str());
        ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        const cups::Ipp response(cupsDoRequest(http_.get(), request, uri_.path.c_str()));
        if (!response || !Succeeded())
            return std::string("job state unavailable: ") + cupsLastErrorString();
        switch (ippGetInteger(ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM), 0)) {
        case IPP_JSTATE_COMPLETED:
            return std::nullopt;
        case IPP_JSTATE_STOPPED:
            return Described("job stopped", response.get());
        case IPP_JSTATE_CANCELED:
            return Described("job canceled", response.get());
        case IPP_JSTATE_ABORTED:
            return Described("job aborted", response.get());
        default:
            std::this_thread::sleep_for(kFollowInterval);
        }
    }
}

} // namespace rawlet::direct
