#include "status_json.h"

#include <sstream>

#include "printer_text.h"

namespace rawlet::text {

namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

} // namespace

std::string JsonList(const std::vector<std::string>& texts)
{
    std::string list;
    for (const std::string& text : texts)
        list += (list.empty() ? "" : ", ") + JsonString(text);
    return "[" + list + "]";
}

std::string StatusJson(const platform::PrinterStatus& status)
{
    std::ostringstream json;
    json << "{\"name\": " << JsonString(status.name) << ", \"ready\": " << Bool(status.ready)
         << ", \"answers\": " << Bool(status.answers)
         << ", \"state\": " << JsonString(platform::StateName(status.state))
         << ", \"reasons\": " << JsonList(status.reasons)
         << ", \"accepting_jobs\": " << Bool(status.acceptingJobs)
         << ", \"queued_jobs\": " << (status.queuedJobs ? std::to_string(*status.queuedJobs) : "null")
         << ", \"message\": " << JsonString(status.message) << ", \"sources\": " << JsonList(status.sources)
         << ", \"unanswered\": " << JsonList(status.unanswered)
         << ", \"manufacturer\": " << JsonString(status.manufacturer)
         << ", \"model\": " << JsonString(status.model)
         << ", \"command_set\": " << JsonString(status.commandSet)
         << ", \"elapsed_ms\": " << status.elapsed.count() << "}";
    return json.str();
}

} // namespace rawlet::text
