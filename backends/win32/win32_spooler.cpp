#include "win32_spooler.h"

#include <mutex>
#include <optional>
#include <string>

namespace rawlet::win32 {

namespace {

// winspool's document record wants writable ANSI strings; an absent field is a null
// pointer, not an empty string.
class DocInfo1 {
public:
    explicit DocInfo1(const DocInfo& docInfo)
        : docName_(docInfo.docName), outputFile_(docInfo.outputFile), dataType_(docInfo.dataType)
    {
        record_.pDocName = Pointer(docName_);
        record_.pOutputFile = Pointer(outputFile_);
        record_.pDatatype = Pointer(dataType_);
    }
    DocInfo1(const DocInfo1&) = delete;
    DocInfo1& operator=(const DocInfo1&) = delete;

    BYTE* get() noexcept { return reinterpret_cast<BYTE*>(&record_); }

private:
    static char* Pointer(std::optional<std::string>& text) noexcept { return text ? text->data() : nullptr; }

    std::optional<std::string> docName_;
    std::optional<std::string> outputFile_;
    std::optional<std::string> dataType_;
    DOC_INFO_1A record_{};
};

} // namespace

bool Win32Spooler::OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle)
{
    std::string name(printerName);
    HANDLE opened = nullptr;
    if (!::OpenPrinterA(name.data(), &opened, nullptr))
        return false;
    auto printer = std::make_shared<Printer>();
    printer->handle.reset(opened);
    handle = printers_.Add(std::move(printer));
    return true;
}

std::uint32_t Win32Spooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return 0;
    DocInfo1 record(docInfo);
    const DWORD job = ::StartDocPrinterA(printer->handle.get(), 1, record.get());
    if (job != 0)
        printer->documentInProgress = true;
    return job;
}

bool Win32Spooler::StartPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && ::StartPagePrinter(printer->handle.get());
}

// Reports what winspool reports; the control offers the rest of a short write again.
bool Win32Spooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                                std::uint32_t& written)
{
    written = 0;
    const auto printer = printers_.Find(handle);
    if (!printer || bytes.size() > MAXDWORD)
        return false;
    DWORD count = 0;
    const BOOL ok = ::WritePrinter(printer->handle.get(), const_cast<char*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size()), &count);
    written = count;
    return ok != FALSE;
}

bool Win32Spooler::EndPagePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    return printer && ::EndPagePrinter(printer->handle.get());
}

bool Win32Spooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Find(handle);
    if (!printer)
        return false;
    const BOOL ok = ::EndDocPrinter(printer->handle.get());
    if (printer->documentInProgress)
        Record(ok != FALSE);
    if (ok)
        printer->documentInProgress = false;
    return ok != FALSE;
}

// A document still in progress is ended first, so its bytes are delivered and not dropped.
bool Win32Spooler::ClosePrinter(platform::PrinterHandle handle)
{
    const auto printer = printers_.Remove(handle);
    if (!printer)
        return false;
    if (printer->documentInProgress)
        Record(::EndDocPrinter(printer->handle.get()) != FALSE);
    return true; // the winspool handle closes with its last user
}

void Win32Spooler::AbandonDocuments()
{
    for (const auto& printer : printers_.All()) {
        if (printer->documentInProgress.exchange(false))
            ::AbortPrinter(printer->handle.get());
    }
}

// A document the spooler would not end may still be in its queue.
void Win32Spooler::Record(bool accepted)
{
    constexpr std::size_t kRecorded = 4096;
    std::lock_guard lock(endedMutex_);
    if (ended_.size() == kRecorded)
        ended_.erase(ended_.begin());
    if (accepted)
        ended_.push_back({Outcome::delivered, "", ""});
    else
        ended_.push_back(
            {Outcome::unknown, "", "the spooler refused to end the document, which may still print"});
}

std::vector<platform::DocumentOutcome> Win32Spooler::JobOutcomes()
{
    std::lock_guard lock(endedMutex_);
    return ended_;
}

std::size_t Win32Spooler::LiveHandles() const { return printers_.size(); }

} // namespace rawlet::win32
