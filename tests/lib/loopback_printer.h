#pragma once

#include <string>

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

// A fake printer of scripts/lib (fake_printer.py) in `mode`, in `folder`: listening once
// constructed, ended when destroyed.
class FakePrinter {
public:
    FakePrinter(const std::string& mode, const std::string& folder);
    ~FakePrinter();
    FakePrinter(const FakePrinter&) = delete;
    FakePrinter& operator=(const FakePrinter&) = delete;
    int port() const { return port_; }

private:
    std::string folder_;
    int port_ = 0;
};

// A loopback AppSocket printer that answers the status queries of its language ("escpos",
// "zpl") as one in `state` does, or a fake printer in any `mode`, started for one test and
// ended with it.
class LoopbackPrinter {
public:
    LoopbackPrinter(const std::string& language, const std::string& state);
    explicit LoopbackPrinter(const std::string& mode);

    // A new connection to the printer, non-blocking as the direct devices' are.
    posixapi::UniqueFd Connect() const;

private:
    TemporaryFolder folder_;
    FakePrinter printer_;
};

} // namespace rawlet::testing
