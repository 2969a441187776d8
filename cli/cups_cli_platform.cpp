// The command's system on Linux and macOS: CUPS and the code-page tables.
#include <iostream>

#include "about_printout.h"
#include "cli_platform.h"
#include "cups_platform.h"
#include "job_monitor.h"

namespace rawlet::cli {

namespace {

class CupsCliPlatform : public CliPlatform {
public:
    CupsCliPlatform()
    {
        system_.applicationHost().onAbout = [] { PrintAbout(std::cout); };
    }

    platform::Platform Services() override { return system_.Services(); }
    const platform::codepage::AnsiCharset& ansiCharset() override { return system_.codePage().ansiCharset(); }
    bool CanFollowJobs() const override { return true; }
    void AbandonDocuments() override { system_.spooler().AbortDocuments(); }

    std::vector<std::string> JobProblems(bool wait) override
    {
        std::vector<std::string> problems;
        for (const cups::CreatedJob& job : system_.spooler().CreatedJobs()) {
            const std::string name = "job " + job.printer + "-" + std::to_string(job.id);
            if (!job.accepted) {
                problems.push_back(name + " was not accepted by the scheduler");
                continue;
            }
            if (!wait)
                continue;
            const cups::JobOutcome outcome = cups::FollowJob(job);
            if (!outcome.completed)
                problems.push_back(name + " did not print: " + outcome.reason);
        }
        return problems;
    }

private:
    cups::CupsPlatform system_;
};

} // namespace

std::unique_ptr<CliPlatform> CliPlatform::Create() { return std::make_unique<CupsCliPlatform>(); }

} // namespace rawlet::cli
