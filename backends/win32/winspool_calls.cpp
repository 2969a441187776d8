#include "winspool_calls.h"

#include <vector>

namespace rawlet::win32 {

namespace {

// winspool's variable-sized records: asked once for their size, then for the record.
template <class Ask> std::vector<BYTE> Record(Ask ask)
{
    DWORD needed = 0;
    ask(nullptr, 0, &needed);
    if (needed == 0)
        return {};
    std::vector<BYTE> record(needed);
    if (!ask(record.data(), needed, &needed))
        return {};
    return record;
}

template <class Info> const Info* As(const std::vector<BYTE>& record)
{
    return record.size() < sizeof(Info) ? nullptr : reinterpret_cast<const Info*>(record.data());
}

std::string Text(const char* text) { return text ? text : ""; }

std::optional<DWORD> DriverAttributes(HANDLE printer)
{
    const std::vector<BYTE> record = Record([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::GetPrinterDriverA(printer, nullptr, 8, buffer, size, needed);
    });
    const auto* driver = As<DRIVER_INFO_8A>(record);
    return driver ? std::optional(driver->dwPrinterDriverAttributes) : std::nullopt;
}

std::optional<QueueFacts> Queue(HANDLE printer)
{
    const std::vector<BYTE> record = Record([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::GetPrinterA(printer, 2, buffer, size, needed);
    });
    const auto* info = As<PRINTER_INFO_2A>(record);
    if (!info)
        return std::nullopt;
    return QueueFacts{Text(info->pPrinterName), info->Status, info->Attributes, info->cJobs};
}

// Wine's spooler fails without a reason for a job it no longer has; Windows' says
// ERROR_INVALID_PARAMETER, which is what this says for both.
std::optional<JobFacts> Job(HANDLE printer, DWORD job)
{
    ::SetLastError(ERROR_SUCCESS);
    const std::vector<BYTE> record = Record([&](BYTE* buffer, DWORD size, DWORD* needed) {
        return ::GetJobA(printer, job, 1, buffer, size, needed);
    });
    const auto* info = As<JOB_INFO_1A>(record);
    if (!info) {
        if (::GetLastError() == ERROR_SUCCESS)
            ::SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    return JobFacts{info->Status, Text(info->pStatus)};
}

// Wine's ntdll exports its version; Windows' does not.
bool RunsOnWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace

WinspoolCalls::WinspoolCalls()
    : driverAttributes(DriverAttributes), startDocument([](HANDLE printer, DOC_INFO_1A& document) {
          return ::StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&document));
      }),
      queueFacts(Queue), jobFacts(Job),
      endDocument([](HANDLE printer) { return ::EndDocPrinter(printer) != FALSE; }),
      deleteJob([](HANDLE printer, DWORD job) {
          return ::SetJobA(printer, job, 0, nullptr, JOB_CONTROL_DELETE) != FALSE;
      }),
      watchJobs([](HANDLE printer) {
          return ::FindFirstPrinterChangeNotification(printer, PRINTER_CHANGE_JOB, 0, nullptr);
      }),
      takeJobChange([](HANDLE change) {
          DWORD what = 0;
          return ::FindNextPrinterChangeNotification(change, &what, nullptr, nullptr) != FALSE;
      }),
      stopWatchingJobs([](HANDLE change) { ::FindClosePrinterChangeNotification(change); }),
      handsJobsOnAtEnd(RunsOnWine())
{}

} // namespace rawlet::win32
