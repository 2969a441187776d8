#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <rawlet/system.h>

#include "system_platform.h"

namespace rawlet {

// What a System holds: the backend's bundle, and the direct printers added to it, so that
// each Printer gets a bundle of its own (its own spooler and reports: its failures and jobs
// are its own, and cancelling it touches no other) that knows them too.
struct System::Backend {
    SystemPlatform shared;

    std::unique_ptr<SystemPlatform> NewBundle();
    bool AddDirectPrinter(const std::string& name, const std::string& uri);

private:
    std::mutex mutex_; // guards the printers added, which printers on any thread copy
    std::vector<std::pair<std::string, std::string>> added_;
};

} // namespace rawlet
