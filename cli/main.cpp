// rawlet: print files or standard input to a printer queue in raw form.
#include <csignal>
#include <iostream>
#include <optional>

#include <rawlet/error.h>
#include <rawlet/system.h>
#include <rawlet/version.h>

#include "about_printout.h"
#include "commands.h"
#include "printer_text.h"
#include "printers_command.h"
#include "serve_command.h"
#include "status_command.h"

namespace {

using namespace rawlet::cli;

// Errors without a text of their own get the host's standard one.
std::string Described(const rawlet::Error& error)
{
    if (!error.description().empty())
        return "error " + std::to_string(error.number()) + " (" + error.source() +
               "): " + error.description();
    return "error " + std::to_string(error.number()) + ": " +
           rawlet::errors::StandardDescription(error.number());
}

int RunCommand(const Options& options, rawlet::System& system)
{
    switch (options.command) {
    case Command::Printers:
        return ListPrinters(system, options.longList);
    case Command::Print:
        return PrintFiles(options, system);
    case Command::Reset:
        return ResetPrinter(options, system);
    case Command::About:
        return ShowAbout(system);
    case Command::Status:
        return ShowStatus(options, system);
    default:
        return 0;
    }
}

// The reason the error carries, or else the scheduler that cannot be reached.
std::optional<std::string> WhyItFailed(const rawlet::Error& error, rawlet::System& system)
{
    if (!error.reason().empty())
        return error.reason();
    return system.Unreachable();
}

// A control error that comes from a spooler nobody can reach also says so: "the printer
// name is not valid" alone cannot tell a missing printer from a missing print system.
int Run(const Options& options)
{
    switch (options.command) {
    case Command::Help:
        std::cout << kUsage;
        return 0;
    case Command::Version:
        std::cout << "rawlet " << rawlet::version::kText << "\n";
        return 0;
    case Command::Serve:
        return Serve(options);
    default:
        break;
    }
    rawlet::System system;
    system.applicationHost().onAbout = [] { PrintAbout(std::cout); };
    ReportConfigurationProblems(system);
    try {
        return RunCommand(options, system);
    } catch (const rawlet::Error& error) {
        std::cerr << "rawlet: " << Described(error) << "\n";
        if (const auto why = WhyItFailed(error, system))
            std::cerr << "rawlet: " << Shown(*why) << "\n";
        return ExitStatus(error);
    }
}

} // namespace

int main(int argc, char** argv)
{
#ifdef SIGPIPE
    // libcups writes to the scheduler without suppressing SIGPIPE: a scheduler that closes
    // in mid-document must fail the write, with a reason, rather than kill the command.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    try {
        return Run(ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    } catch (const UsageError& error) {
        std::cerr << "rawlet: " << error.what() << "\nTry 'rawlet --help'.\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "rawlet: " << error.what() << "\n";
        return 1;
    }
}
