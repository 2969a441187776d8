#include "direct_status.h"

#include <algorithm>

#include "device.h"
#include "fd_io.h"
#include "status_report.h"

namespace rawlet::direct {

namespace {

bool IsIpp(const DeviceUri& uri)
{
    return uri.kind == DeviceUri::Kind::Ipp || uri.kind == DeviceUri::Kind::Ipps;
}

// What an IPP printer said of itself when connecting; a refusal is an answer too.
void AskIpp(const Device& device, bool connected, StatusReport& report)
{
    if (const std::optional<StatusFacts> facts = device.connectFacts())
        report.Answered("ipp", *facts);
    else if (!connected && device.refused()) {
        StatusFacts refusal;
        refusal.acceptingJobs = false;
        report.Answered("ipp", refusal);
    } else
        report.Unanswered("ipp");
}

} // namespace

platform::PrinterStatus AskDirectStatus(const DirectPrinter& printer, DeviceUri::Probe probe)
{
    const auto started = Clock::now();
    DeviceUri uri = printer.uri;
    if (probe != DeviceUri::Probe::None)
        uri.probe = probe;
    StatusReport report(printer.name);
    const std::unique_ptr<Device> device = MakeDevice(uri);
    const bool connected = device->Connect();
    if (connected)
        report.Answered("transport", {});
    else if (!device->refused())
        report.Unanswered("transport");
    if (IsIpp(uri))
        AskIpp(*device, connected, report);
    device->Abort();
    platform::PrinterStatus status = report.Finish(connected, device->failure());
    status.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    return status;
}

} // namespace rawlet::direct
