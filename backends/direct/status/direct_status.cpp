#include "status_sources.h"

#include <algorithm>

namespace rawlet::direct {

// Each source after the connection answers within this, or within the URI's timeout when
// that is shorter.
constexpr auto kSourceTime = std::chrono::seconds(1);

Clock::time_point SourceDeadline(const DeviceUri& uri)
{
    return Clock::now() + std::min<Clock::duration>(kSourceTime, uri.timeout);
}

void Record(const char* source, const std::optional<StatusFacts>& facts, StatusReport& report)
{
    if (facts)
        report.Answered(source, *facts);
    else
        report.Unanswered(source);
}

namespace {

// Only when asked: the query is print data to a printer of another language.
void AskInItsLanguage(Device& device, const DeviceUri& uri, StatusReport& report)
{
    Channel* channel = device.channel();
    if (uri.probe == DeviceUri::Probe::EscPos)
        Record("escpos", channel ? AskEscPos(*channel, SourceDeadline(uri)) : std::nullopt, report);
    else if (uri.probe == DeviceUri::Probe::Zpl)
        Record("zpl", channel ? AskZpl(*channel, SourceDeadline(uri)) : std::nullopt, report);
}

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

platform::PrinterStatus AskDirectStatus(const std::string& name, const DeviceUri& printerUri,
                                        DeviceUri::Probe probe)
{
    const auto started = Clock::now();
    DeviceUri uri = printerUri;
    if (probe != DeviceUri::Probe::None)
        uri.probe = probe;
    StatusReport report(name);
    const std::unique_ptr<Device> device = MakeDevice(uri);
    const bool connected = device->ConnectToLook(uri.probe != DeviceUri::Probe::None);
    if (connected)
        report.Answered("transport", {});
    else if (!device->refused())
        report.Unanswered("transport");
    if (connected && device->onPrinterPort())
        Record("usb", device->AskPort(), report);
    AskSystemSources(uri, report);
    if (IsIpp(uri))
        AskIpp(*device, connected, report);
    if (connected)
        AskInItsLanguage(*device, uri, report);
    // A connection is reset, so that the printer takes no job from it; a device file's look
    // is only closed.
    device->Abort();
    platform::PrinterStatus status = report.Finish(connected, device->failure());
    status.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    return status;
}

} // namespace rawlet::direct
