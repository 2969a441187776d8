#pragma once

// The direct printers on top of their transports and status sources: the printers named in
// printers.conf (printers_conf.cpp) and the spooler that drives them (direct_spooler.cpp).
// This is what the rest of the system may call.

#include <functional>
#include <istream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <rawlet/platform/spooler.h>

#include "handle_table.h"
#include "transports.h"

namespace rawlet::direct {

// ---- printers_conf.cpp: the printers named in the configuration -------------------------

struct DirectPrinter {
    std::string name;
    DeviceUri uri;
};

// The direct printers of the configuration files, and the lines that could not be used
// ("FILE:LINE: reason"), which are skipped.
struct PrintersConf {
    std::vector<DirectPrinter> printers;
    std::vector<std::string> problems;
};

// Whether two printer names are the same without regard to (ASCII) letter case.
bool SameName(std::string_view a, std::string_view b);

// Lines "NAME URI"; blank lines and those starting with '#' are ignored. A name already
// taken, in any letter case, keeps its first printer; a name has no ':' or '/'. A URI this
// system has no transport for is a problem of its line.
void ReadPrintersConf(std::istream& lines, const std::string& fileName, PrintersConf& conf);

// $RAWLET_PRINTERS alone when it is set; otherwise $XDG_CONFIG_HOME/rawlet/printers.conf
// (~/.config/rawlet/printers.conf), then /etc/rawlet/printers.conf. Missing files are no
// problem; a named $RAWLET_PRINTERS that cannot be read is.
PrintersConf LoadPrintersConf();

// ---- direct_spooler.cpp: the spooler --------------------------------------------------

// The spooler over direct printers: each handle drives its own device, and a document is
// streamed to it as it is written. A device that cannot be reached fails the open; one that
// breaks or stalls fails the write; a document counts as delivered only once the device
// holds it all.
//
// One instance may serve several threads at once, each on its own handles.
class DirectSpooler : public platform::Spooler {
public:
    DirectSpooler();
    ~DirectSpooler() override;

    // Adds a printer, unless its name is taken, in any letter case: then false, and the
    // name keeps its first printer. Throws BadDeviceUri when this system has no transport
    // for its URI (CheckTransport).
    bool Add(DirectPrinter printer);
    std::vector<DirectPrinter> Printers() const;
    // Names are matched without regard to letter case, as the control matches them.
    bool Knows(std::string_view name) const;

    // How the printer named `name` is now, from every source its kind has (see
    // AskDirectStatus); nothing when there is no such printer.
    std::optional<platform::PrinterStatus> StatusOf(std::string_view name) const;
    // The status query in the printers' own language that StatusOf sends to a printer whose
    // URI asks for none: for a program that asks for it (rawlet status --probe).
    void SetStatusProbe(DeviceUri::Probe probe) noexcept { statusProbe_ = probe; }

    bool OpenPrinterA(std::string_view printerName, platform::PrinterHandle& handle) override;
    std::uint32_t StartDocPrinterA(platform::PrinterHandle handle, const DocInfo& docInfo) override;
    bool StartPagePrinter(platform::PrinterHandle handle) override;
    bool WritePrinter(platform::PrinterHandle handle, std::string_view bytes,
                      std::uint32_t& written) override;
    bool EndPagePrinter(platform::PrinterHandle handle) override;
    bool EndDocPrinter(platform::PrinterHandle handle) override;
    bool ClosePrinter(platform::PrinterHandle handle) override;

    // From any thread: ends at once whatever the open printers do, from a connection being
    // made to the last wait of a document's end and the following of its job, without
    // delivering the document in progress; their later documents fail too. LastFailure then
    // says how much of its document a printer had, as its failures do from then on.
    void AbandonDocuments();
    // The last failure of any printer, if one failed: "PRINTER: REASON" and how much the
    // printer had, and not printed, or unknown when the printer had some of the document.
    std::optional<platform::DocumentOutcome> LastFailure() const;
    // Whether DocumentOutcomes waits for the documents started from now on to print.
    void SetPrintingWait(platform::PrintingWait wait);
    // The outcome of each ended document: delivered, or not and why. With a printing wait, a
    // printer whose URI names its language (status=escpos|zpl) is asked, once it holds the
    // whole document, whether it has printed it: printed when it says so, unknown when it
    // stopped first, delivered when it cannot tell; a document delivered to a device that
    // keeps jobs (IPP) is followed until it has printed or failed.
    std::vector<platform::DocumentOutcome> DocumentOutcomes() const;
    // Called with one line, such as "NAME: job 7 held", each time DocumentProblems asks a
    // printer for a job it waits for.
    void WatchJobStates(std::function<void(const std::string& line)> onState);

private:
    class Printer;

    std::optional<DirectPrinter> Find(std::string_view name) const;
    void Record(const Printer& printer);
    bool FinishDocument(Printer& printer);
    PrintingConfirmer ConfirmerOf(const Printer& printer) const;
    bool Waits() const;

    mutable std::mutex mutex_; // guards the printers, the last failure and the ended documents
    std::vector<DirectPrinter> printers_;
    std::optional<platform::DocumentOutcome> lastFailure_;
    struct KeptJob {
        std::string printer; // as failures name it
        DeviceUri uri;
        int id;
        ipp::Subscription events; // made as its document started, if it was
    };
    struct EndedDocument {
        platform::DocumentOutcome outcome;
        std::optional<KeptJob> kept; // delivered to a device that keeps jobs, to follow
        bool abandoned = false;      // before its wait began, which then ends at once
    };
    std::vector<EndedDocument> ended_;
    platform::PrintingWait printingWait_;
    ipp::JobEnd Follow(const KeptJob& job, std::optional<Clock::time_point> deadline) const;
    mutable std::vector<Device*> following_; // the devices of jobs followed now
    std::function<void(const std::string& line)> onState_;
    backends::HandleTable<Printer> open_;
    DeviceUri::Probe statusProbe_ = DeviceUri::Probe::None;
};

} // namespace rawlet::direct
