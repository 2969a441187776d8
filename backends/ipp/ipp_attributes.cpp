// Reading IPP messages and libcups's errors.
#include "shared_ipp.h"

namespace rawlet::ipp {

std::vector<std::string> AttributeStrings(ipp_t* message, const char* name)
{
    std::vector<std::string> values;
    ipp_attribute_t* attribute = ippFindAttribute(message, name, IPP_TAG_ZERO);
    for (int i = 0; attribute && i < ippGetCount(attribute); ++i)
        if (const char* value = ippGetString(attribute, i, nullptr); value && *value)
            values.emplace_back(value);
    return values;
}

std::string AttributeText(ipp_t* message, const char* name)
{
    std::string text;
    for (const std::string& value : AttributeStrings(message, name))
        text += (text.empty() ? "" : ", ") + value;
    return text;
}

std::string JobStateName(int state)
{
    switch (state) {
    case IPP_JSTATE_PENDING:
        return "pending";
    case IPP_JSTATE_HELD:
        return "held";
    case IPP_JSTATE_PROCESSING:
        return "processing";
    case IPP_JSTATE_STOPPED:
        return "stopped";
    case IPP_JSTATE_CANCELED:
        return "canceled";
    case IPP_JSTATE_ABORTED:
        return "aborted";
    case IPP_JSTATE_COMPLETED:
        return "completed";
    default:
        return "in state " + std::to_string(state);
    }
}

std::string LastErrorText()
{
    const char* text = cupsLastErrorString();
    return text && *text ? text : ippErrorString(cupsLastError());
}

} // namespace rawlet::ipp
