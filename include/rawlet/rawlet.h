#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <rawlet/error.h>
#include <rawlet/platform/platform.h>

namespace rawlet {

struct ControlState;
class PrinterQueue;

// A rectangle on the design surface, in twips.
struct Rect {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const Rect& other) const
    {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
    bool operator!=(const Rect& other) const { return !(*this == other); }
};

// The raw-printing control. Text is ANSI bytes and reaches the printer unchanged (or
// translated to the OEM code page when PrinterTranslate is on). Every failure is raised
// through the host as an Error, which ends the member that raised it; the control catches
// nothing. An instance is used on one thread; instances on one thread share that thread's
// printer handle.
class Rawlet {
public:
    // The design-time size of the control's icon, `Image1`, in twips.
    static constexpr int kIconWidth = 540;
    static constexpr int kIconHeight = 480;

    // `platform` must outlive the instance.
    explicit Rawlet(platform::Platform platform);
    // Releasing an instance whose queue is still open on this thread's handle closes the
    // queue, so its job prints instead of hanging until the thread's slot is reused.
    ~Rawlet();
    Rawlet(const Rawlet&) = delete;
    Rawlet& operator=(const Rawlet&) = delete;

    // Printer selection and job settings.
    const std::string& PrinterName() const noexcept;
    void SetPrinterName(std::string_view New_PrinterName);
    const std::string& PrinterDocumentName() const noexcept;
    void SetPrinterDocumentName(std::string_view New_PrinterDocumentName);
    bool PrinterTranslate() const noexcept;
    void SetPrinterTranslate(bool New_LocaleTranslate);

    // Data: each assignment is written to the printer at once.
    std::string PrinterData() const;
    void SetPrinterData(std::string_view New_PrinterData);

    // Document and page commands.
    void StartDoc();
    void EndPage();
    void EndDoc();
    void PrinterClose();
    void killDocument();
    void About();

protected:
    // Container events: what a form designer and a running form send the control. A program
    // that only prints does not see them; the control's COM shell uses ContainedRawlet.
    void Initialise();
    void Load(platform::PropertyBag& bag);
    void Save(platform::PropertyBag& bag) const;
    void Resize();
    Rect Image1() const noexcept { return image1_; }

private:
    friend struct RawletTestPeer; // the unit tests read the state the members change

    bool OpenQueue();
    std::optional<std::string> FindInstalledPrinter(std::string_view name);
    void SetClosed();
    [[noreturn]] void Raise(const Error& error);

    platform::Host& host() const noexcept { return platform_.host; }

    platform::Platform platform_;
    // Kept out of this header: a program using the control sees its members only.
    std::unique_ptr<ControlState> state_;
    std::unique_ptr<PrinterQueue> queue_;
    Rect image1_{240, 120, kIconWidth, kIconHeight};
};

// The control as its container sees it: the printing members and the container events.
class ContainedRawlet : public Rawlet {
public:
    using Rawlet::Image1;
    using Rawlet::Initialise;
    using Rawlet::Load;
    using Rawlet::Rawlet;
    using Rawlet::Resize;
    using Rawlet::Save;
};

} // namespace rawlet
