#pragma once

#include <cstdint>
#include <string>

namespace rawlet {

// What became of a job, as far as it can be known, and as the printer will bear out.
enum class Outcome {
    printed,    // the spooler says it completed, or the printer itself confirmed it had printed it
    delivered,  // the spooler holds the whole job, or the printer acknowledged every byte
    notPrinted, // it will not print: refused, failed or cancelled, and made sure of
    unknown,    // it may print, or may have printed in part: the job is named so that one can look
};

// "printed", "delivered", "not printed" or "unknown".
const char* OutcomeName(Outcome outcome) noexcept;

// A job that was printed or delivered.
struct JobResult {
    Outcome outcome = Outcome::delivered;
    // The job as its spooler names it ("Receipts-7"), or the printer's name for a printer
    // that keeps no jobs.
    std::string job;
    std::uint64_t bytes = 0; // the bytes the printer or spooler took
    // For a job waited for that is only delivered: why it is not known to have printed, such
    // as "Kitchen (socket://…): the printer had the job of 512 bytes but did not say it had
    // printed it"; empty otherwise.
    std::string reason;
};

} // namespace rawlet
