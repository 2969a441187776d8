#pragma once

#include <functional>
#include <optional>
#include <string>

#include <windows.h>
#include <winspool.h>

namespace rawlet::win32 {

// What the spooler tells of a queue (GetPrinter level 2).
struct QueueFacts {
    std::string name;     // as the spooler spells it
    DWORD status = 0;     // PRINTER_STATUS_* bits
    DWORD attributes = 0; // PRINTER_ATTRIBUTE_* bits
    DWORD queuedJobs = 0;
};

// What the spooler tells of one job (GetJob level 1).
struct JobFacts {
    DWORD status = 0;  // JOB_STATUS_* bits
    std::string words; // the port monitor's own words for it; often empty
};

// The winspool calls whose answers depend on drivers, printers and ports that a test bed
// cannot have (an XPS driver, a spooler that refuses a data type, a printer out of paper, a
// job that stays in the queue), each replaceable by a test. The rest of winspool is called
// directly. Each reports failure as winspool does, with the reason in GetLastError.
struct WinspoolCalls {
    // The printer driver's attributes (GetPrinterDriver level 8); nothing when it does not tell.
    std::function<std::optional<DWORD>(HANDLE printer)> driverAttributes;
    // StartDocPrinter level 1: the job's number, or zero.
    std::function<DWORD(HANDLE printer, DOC_INFO_1A& document)> startDocument;
    std::function<std::optional<QueueFacts>(HANDLE printer)> queueFacts;
    // Nothing when the spooler does not tell; ERROR_INVALID_PARAMETER when it knows no such job.
    std::function<std::optional<JobFacts>(HANDLE printer, DWORD job)> jobFacts;
    // EndDocPrinter, which may take long where the queue prints straight to its port.
    std::function<bool(HANDLE printer)> endDocument;
    // Deletes the job from its queue (SetJob JOB_CONTROL_DELETE).
    std::function<bool(HANDLE printer, DWORD job)> deleteJob;
    // A change notification for the printer's jobs, or INVALID_HANDLE_VALUE where the spooler
    // offers none; signalled on a change until takeJobChange is called.
    std::function<HANDLE(HANDLE printer)> watchJobs;
    // False when the change could not be taken: the handle then stays signalled.
    std::function<bool(HANDLE change)> takeJobChange;
    std::function<void(HANDLE change)> stopWatchingJobs;
    // Whether the spooler hands a job on to its printer as EndDocPrinter returns and then
    // forgets it, as Wine's does (to CUPS), so that a job it no longer keeps was sent even if
    // it was never seen printing. Windows' keeps a job until its port has taken it.
    bool handsJobsOnAtEnd = false;

    // The real calls.
    WinspoolCalls();
};

} // namespace rawlet::win32
