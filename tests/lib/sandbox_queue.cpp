#include "sandbox_queue.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <cups/cups.h>

namespace rawlet::testing {

namespace {

// The private scheduler of this build's test run; every CUPS call of the test goes there.
const std::string kSandboxDir = RAWLET_SANDBOX_DIR;
const bool kSchedulerChosen = [] {
    return setenv("CUPS_SERVER", (kSandboxDir + "/cups.sock").c_str(), 1) == 0;
}();

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int CountJobs(const std::string& queue, int which)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, which);
    int matching = 0;
    for (int i = 0; i < count; ++i)
        matching += which == CUPS_WHICHJOBS_ACTIVE || jobs[i].state == IPP_JSTATE_COMPLETED;
    cupsFreeJobs(count, jobs);
    return matching;
}

} // namespace

int RunShell(const std::string& command, std::string* output)
{
    const std::string full = command + " 2>&1";
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string text;
    char buffer[4096];
    while (std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, count);
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SandboxQueue::SandboxQueue(std::string name)
    : name_(std::move(name)), deviceDir_(kSandboxDir + "/devices/" + name_)
{
    std::string output;
    const std::string script = std::string(RAWLET_SOURCE_DIR) + "/scripts/cups-sandbox";
    if (!kSchedulerChosen || RunShell(script + " add '" + kSandboxDir + "' '" + name_ + "'", &output) != 0)
        throw std::runtime_error("cannot add queue " + name_ + ": " + output);
}

std::vector<std::string> SandboxQueue::ReceivedJobs(std::chrono::seconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const bool idle = CountJobs(name_, CUPS_WHICHJOBS_ACTIVE) == 0;
        std::vector<std::string> files;
        for (int number = 1; std::filesystem::exists(JobFile(number)); ++number)
            files.push_back(JobFile(number));
        if (idle && static_cast<int>(files.size()) >= CountJobs(name_, CUPS_WHICHJOBS_COMPLETED)) {
            std::vector<std::string> jobs;
            for (const auto& file : files)
                jobs.push_back(ReadFile(file));
            return jobs;
        }
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("queue " + name_ + " did not settle");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string SandboxQueue::DeviceUri() const
{
    std::ifstream port(deviceDir_ + "/port");
    std::string number;
    port >> number;
    return "socket://127.0.0.1:" + number;
}

std::string SandboxQueue::JobFile(int number) const
{
    return deviceDir_ + "/job-" + std::to_string(number) + ".bin";
}

std::string SandboxQueue::ReceivedJob(int number) const
{
    for (int poll = 0; poll < 100 && !std::filesystem::exists(JobFile(number)); ++poll)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadFile(JobFile(number));
}

void SandboxQueue::SetDeviceMode(const std::string& mode) const
{
    std::ofstream(deviceDir_ + "/mode") << mode;
}

void SandboxQueue::Admin(const std::string& command) const
{
    std::string output;
    if (RunShell(command + " '" + name_ + "'", &output) != 0)
        throw std::runtime_error(command + " failed: " + output);
}

std::vector<std::string> SandboxQueue::JobTitles() const
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name_.c_str(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<std::string> titles;
    for (int i = count - 1; i >= 0; --i) // CUPS lists the newest first
        titles.emplace_back(jobs[i].title ? jobs[i].title : "");
    cupsFreeJobs(count, jobs);
    return titles;
}

} // namespace rawlet::testing
