#include "fake_platform.h"

#include <algorithm>

namespace rawlet::fake {

namespace {

std::string Call(std::string_view op, PrinterHandle handle, std::string_view detail = "")
{
    std::string line(op);
    line += "(" + std::to_string(handle);
    if (!detail.empty())
        line.append(", ").append(detail);
    return line + ")";
}

char Upper(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    const bool lower = (byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7);
    return lower ? static_cast<char>(byte - 0x20) : c;
}

} // namespace

bool FakeSpooler::Record(std::string line, bool result)
{
    if (!result)
        line += " failed";
    trace.push_back(std::move(line));
    return result;
}

FakeSpooler::HandleState* FakeSpooler::Usable(PrinterHandle handle)
{
    if (closedHandles.contains(handle))
        ++callsOnClosedHandles;
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : &it->second;
}

void FakeSpooler::EndJob(HandleState& state)
{
    jobs[*state.job].ended = true;
    state.job.reset();
}

bool FakeSpooler::OpenPrinterA(std::string_view printerName, PrinterHandle& handle)
{
    const std::string line = "OpenPrinterA(" + std::string(printerName) + ")";
    // Like the Windows spooler, the fake opens a printer whatever the letter case of its name.
    const FakeCodePage codePage;
    const std::string wanted = codePage.CharUpperBuffA(printerName);
    const auto& names = printers_.names;
    const bool installed = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return codePage.CharUpperBuffA(name) == wanted;
    });
    if (failing.contains("OpenPrinterA") || !installed)
        return Record(line, false);
    handle = nextHandle_++;
    handles_[handle] = HandleState{std::string(printerName), std::nullopt};
    return Record(line + " = " + std::to_string(handle), true);
}

std::uint32_t FakeSpooler::StartDocPrinterA(PrinterHandle handle, const DocInfo& docInfo)
{
    HandleState* state = Usable(handle);
    const std::string line =
        Call("StartDocPrinterA", handle, docInfo.docName ? "\"" + *docInfo.docName + "\"" : "<absent>");
    if (failing.contains("StartDocPrinterA") || !state || state->job)
        return Record(line, false);
    state->job = jobs.size();
    jobsByHandle_[handle].push_back(jobs.size());
    jobs.push_back(Job{state->printer, docInfo, {}, false});
    Record(line, true);
    return static_cast<std::uint32_t>(jobs.size());
}

bool FakeSpooler::StartPagePrinter(PrinterHandle handle)
{
    HandleState* state = Usable(handle);
    return Record(Call("StartPagePrinter", handle),
                  !failing.contains("StartPagePrinter") && state && state->job);
}

bool FakeSpooler::WritePrinter(PrinterHandle handle, std::string_view bytes, std::uint32_t& written)
{
    HandleState* state = Usable(handle);
    const std::string line = Call("WritePrinter", handle, std::to_string(bytes.size()) + " bytes");
    written = 0;
    lastWriteOffered = bytes;
    if (failing.contains("WritePrinter") || !state || !state->job)
        return Record(line, false);
    const std::size_t accepted = std::min(bytes.size(), writeLimit.value_or(bytes.size()));
    jobs[*state->job].bytes.append(bytes.substr(0, accepted));
    written = static_cast<std::uint32_t>(accepted);
    return Record(line, true);
}

bool FakeSpooler::EndPagePrinter(PrinterHandle handle)
{
    HandleState* state = Usable(handle);
    return Record(Call("EndPagePrinter", handle), !failing.contains("EndPagePrinter") && state && state->job);
}

bool FakeSpooler::EndDocPrinter(PrinterHandle handle)
{
    HandleState* state = Usable(handle);
    if (failing.contains("EndDocPrinter") || !state || !state->job)
        return Record(Call("EndDocPrinter", handle), false);
    EndJob(*state);
    return Record(Call("EndDocPrinter", handle), true);
}

bool FakeSpooler::ClosePrinter(PrinterHandle handle)
{
    HandleState* state = Usable(handle);
    if (failing.contains("ClosePrinter") || !state)
        return Record(Call("ClosePrinter", handle), false);
    if (state->job)
        EndJob(*state);
    handles_.erase(handle);
    closedHandles.insert(handle);
    return Record(Call("ClosePrinter", handle), true);
}

std::string FakeSpooler::ReceivedOn(PrinterHandle handle) const
{
    std::string received;
    if (auto it = jobsByHandle_.find(handle); it != jobsByHandle_.end())
        for (std::size_t job : it->second)
            received += jobs[job].bytes;
    return received;
}

void FakeCodePage::CharToOemBuffA(std::string_view ansi, char* oem) const
{
    static const std::map<unsigned char, unsigned char> kTable = {
        {0xE9, 0x82}, {0xE8, 0x8A}, {0xFC, 0x81}, {0xC4, 0x8E}, {0xF1, 0xA4}};
    std::transform(ansi.begin(), ansi.end(), oem, [](char c) {
        auto it = kTable.find(static_cast<unsigned char>(c));
        return it == kTable.end() ? c : static_cast<char>(it->second);
    });
}

std::string FakeCodePage::CharUpperBuffA(std::string_view ansi) const
{
    std::string upper(ansi);
    std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
    return upper;
}

std::optional<std::string> FakePropertyBag::ReadText(std::string_view key, std::string_view fallback)
{
    auto it = values.find(key);
    if (it == values.end())
        return std::string(fallback);
    if (auto* text = std::get_if<std::string>(&it->second))
        return *text;
    return std::nullopt;
}

std::optional<bool> FakePropertyBag::ReadBoolean(std::string_view key, bool fallback)
{
    auto it = values.find(key);
    if (it == values.end())
        return fallback;
    if (auto* value = std::get_if<bool>(&it->second))
        return *value;
    return std::nullopt;
}

void FakePropertyBag::WriteText(std::string_view key, std::string_view value)
{
    values.insert_or_assign(std::string(key), std::string(value));
}

void FakePropertyBag::WriteBoolean(std::string_view key, bool value)
{
    values.insert_or_assign(std::string(key), value);
}

} // namespace rawlet::fake
