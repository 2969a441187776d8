// The command's system on Linux and macOS: CUPS and the code-page tables.
#include "cli_host.h"
#include "cli_platform.h"
#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "job_monitor.h"
#include "platform/codepage/table_code_page.h"

namespace rawlet::cli {

namespace {

class CupsCliPlatform : public CliPlatform {
public:
    platform::Platform Services() override { return {spooler_, printers_, codePage_, host_}; }
    const platform::codepage::AnsiCharset& ansiCharset() const override { return codePage_.ansiCharset(); }

    std::vector<std::string> JobProblems(bool wait) override
    {
        std::vector<std::string> problems;
        for (const cups::CreatedJob& job : spooler_.CreatedJobs()) {
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
    cups::CupsSpooler spooler_;
    cups::CupsPrinterList printers_;
    platform::codepage::TableCodePage codePage_ = platform::codepage::TableCodePage::FromEnvironment();
    CliHost host_;
};

} // namespace

std::unique_ptr<CliPlatform> CliPlatform::Create() { return std::make_unique<CupsCliPlatform>(); }

} // namespace rawlet::cli
