#include "win32_spooler.h"

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

    std::lock_guard lock(mutex_);
    handle = ++lastIssued_;
    live_.emplace(handle, std::move(printer));
    return true;
}

std::uint32_t Win32Spooler::StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo)
{
    const auto printer = Find(handle);
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
    const auto printer = Find(handle);
    return printer && ::StartPagePrinter(printer->handle.get());
}

// Reports what winspool reports; the control offers the rest of a short write again.
bool Win32Spooler::WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                                std::uint32_t& written)
{
    written = 0;
    const auto printer = Find(handle);
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
    const auto printer = Find(handle);
    return printer && ::EndPagePrinter(printer->handle.get());
}

bool Win32Spooler::EndDocPrinter(platform::PrinterHandle handle)
{
    const auto printer = Find(handle);
    if (!printer)
        return false;
    const BOOL ok = ::EndDocPrinter(printer->handle.get());
    if (ok)
        printer->documentInProgress = false;
    else if (printer->documentInProgress)
        ++refusedDocuments_;
    return ok != FALSE;
}

// A document still in progress is ended first, so its bytes are delivered and not dropped.
bool Win32Spooler::ClosePrinter(platform::PrinterHandle handle)
{
    std::shared_ptr<Printer> printer;
    {
        std::lock_guard lock(mutex_);
        const auto found = live_.find(handle);
        if (found == live_.end())
            return false;
        printer = std::move(found->second);
        live_.erase(found);
    }
    if (printer->documentInProgress && !::EndDocPrinter(printer->handle.get()))
        ++refusedDocuments_;
    return true; // the winspool handle closes with its last user
}

void Win32Spooler::AbortDocuments()
{
    std::lock_guard lock(mutex_);
    for (const auto& [handle, printer] : live_) {
        if (printer->documentInProgress.exchange(false))
            ::AbortPrinter(printer->handle.get());
    }
}

std::size_t Win32Spooler::LiveHandles() const
{
    std::lock_guard lock(mutex_);
    return live_.size();
}

std::shared_ptr<Win32Spooler::Printer> Win32Spooler::Find(platform::PrinterHandle handle) const
{
    std::lock_guard lock(mutex_);
    const auto found = live_.find(handle);
    return found == live_.end() ? nullptr : found->second;
}

} // namespace rawlet::win32
