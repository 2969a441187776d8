#pragma once

// A recording fake of the platform, for the control's unit tests: a list of printers, a
// spooler that behaves like the Windows one (handles, documents, refusals) and logs every
// call, switches to make any call fail or write short, and a host that records what the
// control tells it.

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include <rawlet/platform/platform.h>

namespace rawlet::fake {

using platform::PrinterHandle;

// A document as the fake printer received it.
struct Job {
    std::string printer;
    DocInfo docInfo;
    std::string bytes;
    bool ended = false;
};

class FakePrinterList : public platform::PrinterList {
public:
    std::vector<std::string> names;
    std::vector<std::string> DeviceNames() override { return names; }
};

class FakeSpooler : public platform::Spooler {
public:
    explicit FakeSpooler(FakePrinterList& printers) : printers_(printers) {}

    // Switches.
    std::set<std::string> failing;         // names of operations that fail
    std::optional<std::size_t> writeLimit; // a write accepts at most this many bytes

    // What happened: one line per call, such as "WritePrinter(1, 3 bytes)" or
    // "EndDocPrinter(0) failed".
    std::vector<std::string> trace;
    std::string lastWriteOffered; // the bytes of the latest WritePrinter, taken or not
    std::vector<Job> jobs;
    std::set<PrinterHandle> closedHandles;
    // Calls that reached a handle after it had been closed; a correct caller makes none.
    int callsOnClosedHandles = 0;

    bool OpenPrinterA(std::string_view printerName, PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(PrinterHandle handle) override;
    bool WritePrinter(PrinterHandle handle, std::string_view bytes, std::uint32_t& written) override;
    bool EndPagePrinter(PrinterHandle handle) override;
    bool EndDocPrinter(PrinterHandle handle) override;
    bool ClosePrinter(PrinterHandle handle) override;

    // The bytes the fake printer received on `handle`, across all its documents.
    std::string ReceivedOn(PrinterHandle handle) const;
    bool IsOpen(PrinterHandle handle) const { return handles_.contains(handle); }

private:
    struct HandleState {
        std::string printer;
        std::optional<std::size_t> job; // the document in progress
    };

    HandleState* Usable(PrinterHandle handle);
    bool Record(std::string line, bool result);
    void EndJob(HandleState& state);

    FakePrinterList& printers_;
    std::map<PrinterHandle, HandleState> handles_;
    std::map<PrinterHandle, std::vector<std::size_t>> jobsByHandle_;
    PrinterHandle nextHandle_ = 1;
};

// ANSI 1252 to OEM 437 for a handful of letters, ASCII and Latin-1 upper-casing.
class FakeCodePage : public platform::CodePage {
public:
    void CharToOemBuffA(std::string_view ansi, char* oem) const override;
    std::string CharUpperBuffA(std::string_view ansi) const override;
};

class FakeHost : public platform::Host {
public:
    bool userMode = true;
    std::vector<std::string> changes;
    std::vector<std::pair<int, int>> sizes;
    int aboutShown = 0;

    void PropertyChanged(std::string_view name) override { changes.emplace_back(name); }
    bool AmbientUserMode() override { return userMode; }
    [[noreturn]] void RaiseError(const Error& error) override { throw error; }
    void SetControlSize(int width, int height) override { sizes.emplace_back(width, height); }
    void ShowAboutDialog() override { ++aboutShown; }
};

class FakePropertyBag : public platform::PropertyBag {
public:
    // A key holding std::monostate is present but unreadable.
    std::map<std::string, std::variant<std::monostate, std::string, bool>, std::less<>> values;

    std::optional<std::string> ReadText(std::string_view key, std::string_view fallback) override;
    std::optional<bool> ReadBoolean(std::string_view key, bool fallback) override;
    void WriteText(std::string_view key, std::string_view value) override;
    void WriteBoolean(std::string_view key, bool value) override;
};

// Names of the installed printers as a user might type them: in another letter case, or
// exactly.
inline constexpr std::array<std::string_view, 3> kTypedPrinterNames = {"receipts", "ZEBRA", "Epson LQ-300"};

// Everything a control instance needs, wired together.
struct FakePlatform {
    FakePrinterList printers;
    FakeSpooler spooler{printers};
    FakeCodePage codePage;
    FakeHost host;

    platform::Platform Services() { return {spooler, printers, codePage, host}; }
};

} // namespace rawlet::fake
