#pragma once

#include <string>
#include <string_view>

namespace rawlet::direct {

// The most octets IPP carries in a name, such as a job's or a document's.
constexpr std::size_t kIppNameOctets = 255;

// `text` cut to what IPP carries in a name: its first kIppNameOctets octets at most, ending on
// a whole UTF-8 character. A longer name would make the scheduler refuse the job.
std::string IppName(std::string_view text);

} // namespace rawlet::direct
