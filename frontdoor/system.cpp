#include <rawlet/system.h>

#include "system_backend.h"

namespace rawlet {

std::unique_ptr<SystemPlatform> System::Backend::NewBundle()
{
    auto bundle = std::make_unique<SystemPlatform>();
    std::lock_guard lock(mutex_);
    for (const auto& [name, uri] : added_)
        [[maybe_unused]] const bool added = bundle->AddDirectPrinter(name, uri);
    return bundle;
}

bool System::Backend::AddDirectPrinter(const std::string& name, const std::string& uri)
{
    std::lock_guard lock(mutex_);
    if (!shared.AddDirectPrinter(name, uri))
        return false;
    added_.emplace_back(name, uri);
    return true;
}

System::System() : backend_(std::make_unique<Backend>()) {}

System::~System() = default;

std::vector<PrinterDescription> System::Printers() { return backend_->shared.DescribePrinters(); }

// A device URI is asked on a bundle of its own, so the System's printers stay as they are.
std::optional<platform::PrinterStatus> System::Status(const std::string& nameOrUri, const std::string& probe)
{
    const std::unique_ptr<SystemPlatform> bundle = backend_->NewBundle();
    bundle->AddPrinterGivenByUri(nameOrUri);
    bundle->SetStatusProbe(probe);
    return bundle->Services().reports->StatusOf(nameOrUri);
}

std::optional<std::string> System::Unreachable()
{
    return backend_->shared.Services().reports->Unreachable();
}

bool System::CanFollowJobs() { return backend_->shared.Services().reports->CanFollowJobs(); }

bool System::AddDirectPrinter(const std::string& name, const std::string& uri)
{
    return backend_->AddDirectPrinter(name, uri);
}

const std::vector<std::string>& System::configurationProblems() const
{
    return backend_->shared.configurationProblems();
}

const codepage::AnsiCharset& System::ansiCharset() { return backend_->shared.ansiCharset(); }

platform::Platform System::Services() { return backend_->shared.Services(); }

platform::ApplicationHost& System::applicationHost() noexcept { return backend_->shared.applicationHost(); }

} // namespace rawlet
