#include "win32_queue_status.h"

#include <algorithm>
#include <array>

#include "unique_printer.h"

namespace rawlet::win32 {

namespace {

using platform::PrinterStatus;

// What one PRINTER_STATUS_* bit means: an IPP reason keyword (none for a bit that keeps
// nothing from printing), the words a user sees, and whether the printer is busy with a job.
struct StatusBit {
    DWORD bit;
    const char* reason;
    const char* words;
    bool busy = false;
};

constexpr std::array kStatusBits{
    StatusBit{PRINTER_STATUS_PAUSED, "paused", "paused"},
    StatusBit{PRINTER_STATUS_ERROR, "other-error", "error"},
    StatusBit{PRINTER_STATUS_PENDING_DELETION, "deactivated-report", "being deleted"},
    StatusBit{PRINTER_STATUS_PAPER_JAM, "media-jam-error", "paper jam"},
    StatusBit{PRINTER_STATUS_PAPER_OUT, "media-empty-error", "out of paper"},
    StatusBit{PRINTER_STATUS_MANUAL_FEED, "media-needed-report", "waiting for paper to be fed by hand"},
    StatusBit{PRINTER_STATUS_PAPER_PROBLEM, "media-needed-error", "paper problem"},
    StatusBit{PRINTER_STATUS_OFFLINE, "offline-report", "offline"},
    StatusBit{PRINTER_STATUS_IO_ACTIVE, nullptr, "sending or receiving", true},
    StatusBit{PRINTER_STATUS_BUSY, nullptr, "busy", true},
    StatusBit{PRINTER_STATUS_PRINTING, nullptr, "printing", true},
    StatusBit{PRINTER_STATUS_OUTPUT_BIN_FULL, "output-area-full-error", "output bin full"},
    StatusBit{PRINTER_STATUS_NOT_AVAILABLE, "offline-report", "not available"},
    StatusBit{PRINTER_STATUS_WAITING, nullptr, "waiting"},
    StatusBit{PRINTER_STATUS_PROCESSING, nullptr, "processing", true},
    StatusBit{PRINTER_STATUS_INITIALIZING, "other-report", "initializing", true},
    StatusBit{PRINTER_STATUS_WARMING_UP, "fuser-under-temp-report", "warming up", true},
    StatusBit{PRINTER_STATUS_TONER_LOW, "toner-low-report", "toner low"},
    StatusBit{PRINTER_STATUS_NO_TONER, "toner-empty-error", "out of toner"},
    StatusBit{PRINTER_STATUS_PAGE_PUNT, "other-error", "cannot print the current page"},
    StatusBit{PRINTER_STATUS_USER_INTERVENTION, "other-error", "needs attention"},
    StatusBit{PRINTER_STATUS_OUT_OF_MEMORY, "interpreter-resource-unavailable-error", "out of memory"},
    StatusBit{PRINTER_STATUS_DOOR_OPEN, "door-open-error", "door open"},
    StatusBit{PRINTER_STATUS_SERVER_UNKNOWN, "other-warning", "status unknown"},
    StatusBit{PRINTER_STATUS_POWER_SAVE, nullptr, "power save"},
};

void Add(std::vector<std::string>& list, const std::string& item)
{
    if (std::ranges::find(list, item) == list.end())
        list.push_back(item);
}

PrinterStatus::State StateOf(const PrinterStatus& status, bool busy)
{
    if (std::ranges::any_of(status.reasons,
                            [](const std::string& reason) { return platform::StopsPrinting(reason); }))
        return PrinterStatus::State::Stopped;
    return busy ? PrinterStatus::State::Processing : PrinterStatus::State::Idle;
}

} // namespace

PrinterStatus StatusOfQueue(const QueueFacts& queue)
{
    PrinterStatus status;
    status.name = queue.name;
    status.answers = true;
    status.sources = {"scheduler"};
    status.queuedJobs = static_cast<int>(queue.queuedJobs);
    status.acceptingJobs = !(queue.status & PRINTER_STATUS_PENDING_DELETION);
    bool busy = false;
    std::string message;
    for (const StatusBit& bit : kStatusBits) {
        if (!(queue.status & bit.bit))
            continue;
        if (bit.reason)
            Add(status.reasons, bit.reason);
        message += (message.empty() ? "" : ", ") + std::string(bit.words);
        busy = busy || bit.busy;
    }
    // Set by the user: jobs wait in the queue and nothing is sent to the printer.
    if (queue.attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) {
        Add(status.reasons, "offline-report");
        message += (message.empty() ? "" : ", ") + std::string("set to work offline");
    }
    status.message = message;
    status.state = StateOf(status, busy);
    status.ready = status.acceptingJobs && status.state != PrinterStatus::State::Stopped;
    return status;
}

std::optional<platform::PrinterStatus> QueueStatus(const std::string& name, const WinspoolCalls& calls)
{
    std::string spelled = name;
    UniquePrinter printer;
    if (name.empty() || !::OpenPrinterA(spelled.data(), printer.put(), nullptr))
        return std::nullopt;
    const std::optional<QueueFacts> facts = calls.queueFacts(printer.get());
    if (!facts)
        return std::nullopt;
    return StatusOfQueue(*facts);
}

} // namespace rawlet::win32
