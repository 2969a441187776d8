#include "combined_spooler.h"

#include <chrono>

namespace rawlet::combined {

bool CombinedSpooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    platform::Spooler& spooler =
        direct_.Knows(printerName) ? static_cast<platform::Spooler&>(direct_) : queues_;
    platform::PrinterHandle inner = 0;
    if (!Noted(spooler, spooler.OpenPrinterA(printerName, inner)))
        return false;
    handle = routes_.Add(std::make_shared<Route>(Route{spooler, inner}));
    return true;
}

std::uint32_t CombinedSpooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto route = routes_.Find(handle);
    if (!route)
        return 0;
    const std::uint32_t document = route->spooler.StartDocPrinterA(route->handle, docInfo);
    // A document cancelled fails its next write before any call can fail: its failure is
    // then this backend's.
    if (document != 0)
        directFailedLast_ = &route->spooler == &direct_;
    Noted(route->spooler, document != 0);
    return document;
}

bool CombinedSpooler::StartPagePrinter(platform::PrinterHandle handle)
{
    const auto route = routes_.Find(handle);
    return route && route->spooler.StartPagePrinter(route->handle);
}

bool CombinedSpooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                                   std::uint32_t& written)
{
    written = 0;
    const auto route = routes_.Find(handle);
    return route && Noted(route->spooler, route->spooler.WritePrinter(route->handle, bytes, written));
}

bool CombinedSpooler::EndPagePrinter(platform::PrinterHandle handle)
{
    const auto route = routes_.Find(handle);
    return route && route->spooler.EndPagePrinter(route->handle);
}

bool CombinedSpooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto route = routes_.Find(handle);
    return route && Noted(route->spooler, route->spooler.EndDocPrinter(route->handle));
}

bool CombinedSpooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto route = routes_.Remove(handle);
    return route && Noted(route->spooler, route->spooler.ClosePrinter(route->handle));
}

bool CombinedSpooler::Noted(const platform::Spooler& spooler, bool succeeded)
{
    if (!succeeded)
        directFailedLast_ = &spooler == &direct_;
    return succeeded;
}

std::optional<platform::DocumentOutcome> CombinedSpooler::LastFailure()
{
    return directFailedLast_ ? direct_.LastFailure() : queueReports_.LastFailure();
}

// A direct printer times its sources itself; a queue's answer is its spooler's.
std::optional<platform::PrinterStatus> CombinedSpooler::StatusOf(const std::string& printerName)
{
    if (direct_.Knows(printerName))
        return direct_.StatusOf(printerName);
    if (!queueReports_.CanTellStatus())
        return std::nullopt;
    const auto started = std::chrono::steady_clock::now();
    std::optional<platform::PrinterStatus> status = queueReports_.StatusOf(printerName);
    if (status)
        status->elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    return status;
}

void CombinedSpooler::AbandonDocuments()
{
    queueReports_.AbandonDocuments();
    direct_.AbandonDocuments();
}

std::vector<platform::DocumentOutcome> CombinedSpooler::JobOutcomes()
{
    std::vector<platform::DocumentOutcome> outcomes = queueReports_.JobOutcomes();
    for (platform::DocumentOutcome& outcome : direct_.DocumentOutcomes())
        outcomes.push_back(std::move(outcome));
    return outcomes;
}

} // namespace rawlet::combined
