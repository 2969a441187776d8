#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/codepage/ansi_charset.h"
#include "platform/platform.h"

namespace rawlet::cli {

// What the command needs of the system: the control's services, and what became of the
// jobs it printed.
class CliPlatform {
public:
    // Throws std::runtime_error when the system cannot serve the control (an unsupported
    // code-page setting, for example).
    static std::unique_ptr<CliPlatform> Create();
    virtual ~CliPlatform() = default;

    virtual platform::Platform Services() = 0;

    // The characters of the ANSI code page the control's text is in. Throws
    // platform::codepage::UnsupportedCodePage when there are no tables for it.
    virtual const platform::codepage::AnsiCharset& ansiCharset() = 0;

    // Cancels every document still in progress, so a job cut short by an error does not
    // print as if it were whole.
    virtual void AbandonDocuments() = 0;

    // Whether JobProblems can wait for jobs to print.
    virtual bool CanFollowJobs() const = 0;

    // One line for each job printed so far that the spooler did not accept or, with `wait`,
    // that did not print to the end; empty when all is well. With `wait`, returns only once
    // every job has printed or failed.
    virtual std::vector<std::string> JobProblems(bool wait) = 0;
};

} // namespace rawlet::cli
