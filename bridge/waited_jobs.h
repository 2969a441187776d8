#pragma once

#include <mutex>
#include <set>

#include <rawlet/printer.h>

namespace rawlet::bridge {

// The jobs pages asked the bridge to wait for. A signal cancels them, as Ctrl-C cancels
// `rawlet print --wait`, so that the bridge ends within the command's bounds rather than
// after the wait's minute; the pages hear what became of them. Safe from any thread.
class WaitedJobs {
public:
    // While it lives, its printer is one CancelAll cancels; at once, when CancelAll came first.
    class Entry {
    public:
        Entry(WaitedJobs& jobs, Printer& printer);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

    private:
        WaitedJobs& jobs_;
        Printer& printer_;
    };

    void CancelAll();

private:
    std::mutex mutex_;
    std::set<Printer*> printers_;
    bool cancelled_ = false;
};

} // namespace rawlet::bridge
