#include "commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include <rawlet/codepage/utf8_to_ansi_stream.h>
#include <rawlet/rawlet.h>

#include "direct_printers.h"
#include "interruption.h"
#include "progress.h"

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

int ReportJobProblems(SystemPlatform& system, bool wait, Progress* progress = nullptr)
{
    platform::SpoolerReports& reports = *system.Services().reports;
    if (progress)
        reports.WatchJobStates([progress](const std::string& line) { progress->JobState(line); });
    const std::vector<std::string> problems = reports.JobProblems(wait);
    reports.WatchJobStates(nullptr);
    if (progress)
        progress->Finish();
    for (const std::string& problem : problems)
        std::cerr << "rawlet: " << problem << "\n";
    return problems.empty() ? 0 : 1;
}

// Writes every input to the control in chunks, converted from UTF-8 first when asked; the
// first chunk opens the document. Returns the number of bytes written.
std::uint64_t StreamInputs(Rawlet& control, std::vector<File>& inputs, const Options& options,
                           SystemPlatform& system, Progress& progress)
{
    std::optional<codepage::Utf8ToAnsiStream> fromUtf8;
    if (options.utf8)
        fromUtf8.emplace(system.ansiCharset());
    std::uint64_t written = 0;
    auto write = [&](std::string_view bytes) {
        const std::string ansi = fromUtf8 ? fromUtf8->Convert(bytes) : std::string();
        const std::string_view data = fromUtf8 ? std::string_view(ansi) : bytes;
        if (data.empty())
            return;
        control.SetPrinterData(data);
        written += data.size();
        progress.Sent(data.size());
    };

    std::string chunk(kChunkSize, '\0');
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::size_t count;
        while ((count = std::fread(chunk.data(), 1, chunk.size(), inputs[i].get())) > 0)
            write(std::string_view(chunk.data(), count));
        if (std::ferror(inputs[i].get()))
            throw std::runtime_error("cannot read " + InputName(options.files, i) + ": " +
                                     std::strerror(errno));
    }
    if (fromUtf8)
        write(fromUtf8->Finish());
    return written;
}

} // namespace

// Streams the inputs into one document and closes it without adding a byte. A document cut
// short by an error or an interruption is abandoned, not printed as if it were whole; empty
// input makes no job at all.
int PrintFiles(const Options& options, SystemPlatform& system)
{
    platform::SpoolerReports& reports = *system.Services().reports;
    if (options.wait && !reports.CanFollowJobs())
        throw UsageError("--wait is not available with this system's spooler");
    std::vector<File> inputs = OpenInputs(options.files);
    AddPrinterGivenByUri(options, system);
    if (options.utf8)
        system.ansiCharset(); // an ANSI code page without tables fails before anything is sent

    const Interruption interruption(reports);
    Progress progress(std::cerr, !options.quiet && Progress::StandardErrorIsTerminal());
    Rawlet control(system.Services());
    control.SetPrinterName(options.printer);
    control.SetPrinterDocumentName(options.title.empty() ? DefaultTitle(options.files) : options.title);
    control.SetPrinterTranslate(options.translate);
    try {
        if (StreamInputs(control, inputs, options, system, progress) == 0)
            throw std::runtime_error("nothing to print");
        control.PrinterClose();
    } catch (...) {
        interruption.HoldIfCaught();
        reports.AbandonDocuments();
        throw;
    }
    progress.AllSent();
    return ReportJobProblems(system, options.wait, &progress);
}

int ResetPrinter(const Options& options, SystemPlatform& system)
{
    AddPrinterGivenByUri(options, system);
    Rawlet control(system.Services());
    control.SetPrinterName(options.printer);
    control.SetPrinterDocumentName("Printer reset");
    control.SetPrinterData("");
    control.killDocument();
    return ReportJobProblems(system, false);
}

int ShowAbout(SystemPlatform& system)
{
    Rawlet control(system.Services());
    control.About();
    return 0;
}

} // namespace rawlet::cli
