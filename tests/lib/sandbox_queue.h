#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace rawlet::testing {

// A raw queue of the private scheduler that the test run started, made for one test, with
// a capturing device behind it.
class SandboxQueue {
public:
    explicit SandboxQueue(std::string name);

    const std::string& name() const { return name_; }
    // The AppSocket URI of the queue's capture device, to reach it without the scheduler.
    std::string DeviceUri() const;

    // Waits until the scheduler has nothing left to do on the queue, then returns what the
    // device received, one entry per job, oldest first.
    std::vector<std::string> ReceivedJobs(std::chrono::seconds timeout = std::chrono::seconds(60)) const;

    // The file in which the device keeps connection `number` (1, 2, ...), whether or not it
    // exists; a connection the device refused leaves a gap in the numbers.
    std::string JobFile(int number) const;

    // What connection `number` delivered, waiting a few seconds for the device to store it
    // (it does so on closing the connection, which may come just after the job ended).
    std::string ReceivedJob(int number) const;

    // Makes the device misbehave for later connections: "drop:N", "stall", "refuse" or "normal".
    void SetDeviceMode(const std::string& mode) const;

    // Runs a command of the private scheduler's tools (lpadmin, cupsreject, ...) on this queue.
    void Admin(const std::string& command) const;

    // The job names (titles) the scheduler recorded for this queue, oldest first.
    std::vector<std::string> JobTitles() const;

private:
    std::string name_;
    std::string deviceDir_;
};

// Runs a shell command with the private scheduler in its environment; returns its exit
// status, and its standard output and error in `output` when given.
int RunShell(const std::string& command, std::string* output = nullptr);

} // namespace rawlet::testing
