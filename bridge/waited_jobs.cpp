#include "waited_jobs.h"

namespace rawlet::bridge {

WaitedJobs::Entry::Entry(WaitedJobs& jobs, Printer& printer) : jobs_(jobs), printer_(printer)
{
    std::lock_guard lock(jobs_.mutex_);
    jobs_.printers_.insert(&printer_);
    if (jobs_.cancelled_)
        printer_.Cancel();
}

WaitedJobs::Entry::~Entry()
{
    std::lock_guard lock(jobs_.mutex_);
    jobs_.printers_.erase(&printer_);
}

void WaitedJobs::CancelAll()
{
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (Printer* printer : printers_)
        printer->Cancel();
}

} // namespace rawlet::bridge
