#include "queue_status.h"

#include <algorithm>
#include <array>

#include "shared_ipp.h"

namespace rawlet::cups {

namespace {

using platform::PrinterStatus;

PrinterStatus::State StateOf(int ippState)
{
    switch (ippState) {
    case IPP_PSTATE_IDLE:
        return PrinterStatus::State::Idle;
    case IPP_PSTATE_PROCESSING:
        return PrinterStatus::State::Processing;
    case IPP_PSTATE_STOPPED:
        return PrinterStatus::State::Stopped;
    default:
        return PrinterStatus::State::Unknown;
    }
}

ipp::Ipp AskScheduler(const char* printerUri)
{
    static const char* const kWanted[] = {"printer-name",
                                          "printer-state",
                                          "printer-state-reasons",
                                          "printer-state-message",
                                          "printer-is-accepting-jobs",
                                          "queued-job-count"};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kWanted)), nullptr, kWanted);
    ipp::Ipp response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (response && ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
        response.reset();
    return response;
}

PrinterStatus StatusFrom(ipp_t* response, const char* name)
{
    PrinterStatus status;
    status.name = name;
    status.answers = true;
    status.state = StateOf(ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0));
    status.acceptingJobs =
        ippGetBoolean(ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN), 0);
    status.reasons = ipp::AttributeStrings(response, "printer-state-reasons");
    std::erase(status.reasons, "none");
    const std::vector<std::string> message = ipp::AttributeStrings(response, "printer-state-message");
    status.message = message.empty() ? "" : message.front();
    if (ipp_attribute_t* count = ippFindAttribute(response, "queued-job-count", IPP_TAG_INTEGER))
        status.queuedJobs = ippGetInteger(count, 0);
    status.sources = {"scheduler"};
    status.ready =
        status.acceptingJobs &&
        (status.state == PrinterStatus::State::Idle || status.state == PrinterStatus::State::Processing) &&
        std::ranges::none_of(status.reasons,
                             [](const std::string& reason) { return platform::StopsPrinting(reason); });
    return status;
}

} // namespace

std::optional<PrinterStatus> QueueStatus(const std::string& name)
{
    ipp::Dest dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr));
    if (!dest || name.empty())
        return std::nullopt;
    const char* uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    const std::string fallbackUri = "ipp://localhost/printers/" + std::string(dest->name);
    const ipp::Ipp response = AskScheduler(uri ? uri : fallbackUri.c_str());
    if (!response)
        return std::nullopt;
    return StatusFrom(response.get(), dest->name);
}

} // namespace rawlet::cups
