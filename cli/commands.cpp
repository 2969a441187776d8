#include "commands.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include <rawlet/printer.h>
#include <rawlet/rawlet.h>

#include "interruption.h"
#include "printer_text.h"
#include "progress.h"
#include "status_command.h"

namespace rawlet::cli {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept
    {
        if (file != stdin)
            std::fclose(file);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Every input is opened before anything is printed, so a mistyped name prints nothing.
std::vector<File> OpenInputs(const std::vector<std::string>& names)
{
    std::vector<File> inputs;
    if (names.empty())
        inputs.emplace_back(stdin);
    for (const std::string& name : names) {
        File file(name == "-" ? stdin : std::fopen(name.c_str(), "rb"));
        if (!file)
            throw std::runtime_error("cannot open " + name + ": " + std::strerror(errno));
        inputs.push_back(std::move(file));
    }
    return inputs;
}

// How the command names its i-th input in a message.
std::string InputName(const std::vector<std::string>& files, std::size_t i)
{
    return files.empty() || files[i] == "-" ? "standard input" : files[i];
}

std::string DefaultTitle(const std::vector<std::string>& files)
{
    if (files.empty() || files.front() == "-")
        return "(standard input)";
    const std::string& path = files.front();
    return path.substr(path.find_last_of('/') + 1);
}

// A printer given by its device URI is the user's text: one that names no device is a
// usage error.
std::unique_ptr<Printer> OpenPrinter(System& system, const std::string& printer, JobOptions job)
{
    try {
        return std::make_unique<Printer>(system, printer, std::move(job));
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

// A job waited for that is delivered but not known to have printed is still a success (exit
// status 0), but the user is told why it is no more.
void SayNotConfirmed(const JobResult& result, Progress* progress)
{
    if (progress)
        progress->Finish();
    std::cerr << "rawlet: "
              << (result.reason.empty()
                      ? text::Shown(result.job) + ": delivered; the printer does not tell when it has printed"
                      : text::Shown(result.reason))
              << "\n";
}

// Finishes the job. One that will not print, or may, is reported by its line alone (exit
// status 1 or 3), as the spooler said it; one interrupted meanwhile, by the interruption.
int Deliver(Printer& printer, Progress* progress = nullptr, const Interruption* interruption = nullptr,
            bool waited = false)
{
    try {
        JobResult result;
        if (interruption)
            interruption->During([&] { result = printer.Finish(); });
        else
            result = printer.Finish();
        if (waited && result.outcome == Outcome::delivered && result.bytes > 0)
            SayNotConfirmed(result, progress);
    } catch (const Error& error) {
        if (error.number() != errors::kEndDocFailed)
            throw;
        if (progress)
            progress->Finish();
        std::cerr << "rawlet: " << text::Shown(error.reason()) << "\n";
        return ExitStatus(error);
    }
    if (progress)
        progress->Finish();
    return 0;
}

// With --check: false, with the printer's status on standard error, when it is known not to
// be ready. A printer that cannot be asked is left for the job to find.
bool ReadyToPrint(System& system, const Options& options)
{
    const std::optional<platform::PrinterStatus> status = StatusBeforePrinting(system, options);
    if (!status || status->ready)
        return true;
    std::cerr << "rawlet: " << StatusLine(*status) << "\n";
    return false;
}

// Writes every input to the printer in chunks.
void StreamInputs(Printer& printer, std::vector<File>& inputs, const Options& options,
                  const Interruption& interruption)
{
    std::string chunk(kChunkSize, '\0');
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::size_t count;
        while ((count = std::fread(chunk.data(), 1, chunk.size(), inputs[i].get())) > 0)
            interruption.During([&] { printer.Write(std::string_view(chunk.data(), count)); });
        if (std::ferror(inputs[i].get()))
            throw std::runtime_error("cannot read " + InputName(options.files, i) + ": " +
                                     std::strerror(errno));
    }
}

} // namespace

int ExitStatus(const Error& error) { return dynamic_cast<const OutcomeUnknown*>(&error) ? 3 : 1; }

// Streams the inputs into one job, without adding a byte. A job cut short by an error or an
// interruption is cancelled, not printed as if it were whole; empty input makes no job.
int PrintFiles(const Options& options, System& system)
{
    if (options.wait && !system.CanFollowJobs())
        throw UsageError("--wait is not available with this system's spooler");
    std::vector<File> inputs = OpenInputs(options.files);
    if (options.check && !ReadyToPrint(system, options))
        return 1;

    Progress progress(std::cerr, !options.quiet && Progress::StandardErrorIsTerminal());
    JobOptions job;
    job.title = options.title.empty() ? DefaultTitle(options.files) : options.title;
    job.translate = options.translate;
    job.utf8 = options.utf8;
    job.wait = options.wait;
    job.waitLimit = std::chrono::seconds(options.waitTimeout);
    job.onSent = [&progress, shown = std::uint64_t{0}](std::uint64_t sent) mutable {
        progress.Sent(sent - shown);
        shown = sent;
    };
    job.onJobState = [&progress](const std::string& line) { progress.JobState(line); };
    const std::unique_ptr<Printer> printer = OpenPrinter(system, options.printer, std::move(job));

    const Interruption interruption([&printer] { printer->Cancel(); });
    try {
        StreamInputs(*printer, inputs, options, interruption);
        progress.AllSent();
        const int status =
            Deliver(*printer, &progress, &interruption, options.wait); // makes no job when nothing was sent
        if (printer->bytesSent() == 0)
            throw std::runtime_error("nothing to print");
        return status;
    } catch (...) {
        interruption.HoldIfCaught();
        printer->Cancel();
        throw;
    }
}

// ESC @, as a job of its own.
int ResetPrinter(const Options& options, System& system)
{
    JobOptions job;
    job.title = "Printer reset";
    const std::unique_ptr<Printer> printer = OpenPrinter(system, options.printer, std::move(job));
    printer->Write("\x1B@");
    return Deliver(*printer);
}

int ShowAbout(System& system)
{
    Rawlet control(system.Services());
    control.About();
    return 0;
}

} // namespace rawlet::cli
