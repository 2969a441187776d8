#include "held_job.h"

#include <string>

#include "shared_ipp.h"

namespace rawlet::cups {

cups_option_t HoldUntilReleased()
{
    static char name[] = "job-hold-until";
    static char value[] = "indefinite";
    return {name, value};
}

bool ReleaseJob(http_t* http, int jobId)
{
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(jobId);
    ipp_t* request = ippNewRequest(IPP_OP_RELEASE_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const ipp::Ipp response(cupsDoRequest(http, request, "/jobs/"));
    return response && ippGetStatusCode(response.get()) <= IPP_STATUS_OK_CONFLICTING;
}

} // namespace rawlet::cups
