#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <rawlet/platform/spooler.h>

namespace rawlet::backends {

// The open printers of a spooler backend, by the handles the control holds. Handles are
// never reused, so a stale copy of a closed one can never reach a printer opened later; a
// call on zero, an unknown or a closed handle finds nothing.
//
// One table serves every thread. It is locked only while it is read or changed, never
// during a spooler call: entries are shared, so a call in progress keeps its printer alive
// while another thread closes the handle.
template <class Printer> class HandleTable {
public:
    platform::PrinterHandle Add(std::shared_ptr<Printer> printer)
    {
        std::lock_guard lock(mutex_);
        const platform::PrinterHandle handle = ++lastIssued_;
        live_.emplace(handle, std::move(printer));
        return handle;
    }

    std::shared_ptr<Printer> Find(platform::PrinterHandle handle) const
    {
        std::lock_guard lock(mutex_);
        const auto found = live_.find(handle);
        return found == live_.end() ? nullptr : found->second;
    }

    // Takes the printer out of the table; null when the handle is not live.
    std::shared_ptr<Printer> Remove(platform::PrinterHandle handle)
    {
        std::lock_guard lock(mutex_);
        const auto found = live_.find(handle);
        if (found == live_.end())
            return nullptr;
        std::shared_ptr<Printer> printer = std::move(found->second);
        live_.erase(found);
        return printer;
    }

    std::vector<std::shared_ptr<Printer>> All() const
    {
        std::lock_guard lock(mutex_);
        std::vector<std::shared_ptr<Printer>> printers;
        for (const auto& [handle, printer] : live_)
            printers.push_back(printer);
        return printers;
    }

    std::size_t size() const
    {
        std::lock_guard lock(mutex_);
        return live_.size();
    }

private:
    mutable std::mutex mutex_;
    std::map<platform::PrinterHandle, std::shared_ptr<Printer>> live_;
    platform::PrinterHandle lastIssued_ = 0;
};

} // namespace rawlet::backends
