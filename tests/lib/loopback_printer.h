#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "unique_fd.h"

namespace rawlet::testing {

// A folder of its own, removed with what it holds.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A program run for as long as this lives, then ended and waited for.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

private:
    pid_t pid_ = -1;
};

// One of the loopback AppSocket printers of tests/lib (a Python script taking MODE and a
// folder, where it writes its port), started for one test and ended with it.
class LoopbackPrinter {
public:
    LoopbackPrinter(const std::string& script, const std::string& mode);

    // A new connection to the printer, non-blocking as the direct devices' are.
    posixapi::UniqueFd Connect() const;

private:
    TemporaryFolder folder_;
    ChildProcess script_;
    int port_ = 0;
};

} // namespace rawlet::testing
