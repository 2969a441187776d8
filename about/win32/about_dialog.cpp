#include "about_dialog.h"

#include <iterator>
#include <string>

#include "about_texts.h"
#include "dialog_layout.h"
#include "dialog_template.h"
#include "printer_icon.h"
#include "system_info.h"
#include "win32_handles.h"

namespace rawlet::about {
namespace {

// A fixed dialog: caption and close box, no minimise or maximise button, not resizable.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

HINSTANCE ThisModule() noexcept
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ShowAboutDialog), &module);
    return module;
}

std::wstring Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

UniqueFont CreateLabelFont(int tenthsOfPoint, Dpi dpi)
{
    return UniqueFont(CreateFontA(-MulDiv(tenthsOfPoint, dpi.y, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, kFontFace));
}

// Puts the client area where the dialog was designed to open, at its designed size.
void PlaceWindow(HWND dialog, Dpi dpi)
{
    RECT frame = PixelRect(kDialogClientTwips, dpi);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The captions that loading sets.
void LoadTexts(HWND dialog)
{
    const AboutTexts texts = LoadedTexts();
    SetWindowTextA(dialog, texts.caption.c_str());
    SetDlgItemTextA(dialog, kLblVersion, texts.version.c_str());
    SetDlgItemTextA(dialog, kLblTitle, texts.title.c_str());
    SetDlgItemTextA(dialog, kLblDescription, texts.description.c_str());
    SetDlgItemTextA(dialog, kLblDisclaimer, texts.disclaimer.c_str());
}

// frmAbout, loaded for as long as it is shown.
class AboutDialog {
public:
    void ShowModal(HWND owner) noexcept;

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Load();
    bool CreateElements(Dpi dpi);
    HFONT FontFor(Font font) const;
    void OnCommand(int id, int notification);
    bool OnDrawItem(const DRAWITEMSTRUCT& item) const;
    void Unload() noexcept;

    HWND window_ = nullptr;
    UniqueFont descriptionFont_;
    UniqueFont titleFont_;
    UniqueIcon icon_;
};

AboutDialog& ThisThreadsDialog()
{
    thread_local AboutDialog dialog;
    return dialog;
}

void AboutDialog::ShowModal(HWND owner) noexcept
{
    if (window_) {
        SetForegroundWindow(window_);
        return;
    }
    try {
        UniqueWindow hiddenOwner;
        if (!owner) {
            hiddenOwner.reset(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                              ThisModule(), nullptr));
            owner = hiddenOwner.get();
        }
        const std::vector<WORD> words = BuildTemplate(
            {kDialogStyle, 0, Widened(kDesignCaption), kDialogFontTenths / 10, Widened(kFontFace)});
        DialogBoxIndirectParamW(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), owner,
                                &Procedure, reinterpret_cast<LPARAM>(this));
    } catch (...) {
        // Nothing was shown; About raises nothing of its own.
    }
    Unload();
}

INT_PTR CALLBACK AboutDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<AboutDialog*>(lParam)->window_ = dialog;
    }
    auto* self = reinterpret_cast<AboutDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self)
        return FALSE;
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR AboutDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!Load())
            EndDialog(window_, -1);
        return TRUE; // the focus goes to the first tab stop, cmdOK
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    default:
        return FALSE;
    }
}

bool AboutDialog::Load()
{
    const Dpi dpi = ScreenDpi();
    descriptionFont_ = CreateLabelFont(kDescriptionFontTenths, dpi);
    titleFont_ = CreateLabelFont(kTitleFontTenths, dpi);
    constexpr int kIconPixelsAt96Dpi = 32;
    icon_ = CreatePrinterIcon(MulDiv(kIconPixelsAt96Dpi, dpi.x, 96)); // as large as the rest, at any DPI
    PlaceWindow(window_, dpi);
    if (!CreateElements(dpi))
        return false;
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    SendDlgItemMessageA(window_, kPicIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    LoadTexts(window_);
    return true;
}

// Created in table order, which makes the tab order.
bool AboutDialog::CreateElements(Dpi dpi)
{
    for (const Element& element : Elements()) {
        const RECT place = PixelRect(element.twips, dpi);
        const HWND child =
            CreateWindowExA(0, element.windowClass, element.caption, element.style, place.left, place.top,
                            place.right - place.left, place.bottom - place.top, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(element.id)), ThisModule(), nullptr);
        if (!child)
            return false;
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(element.font)), FALSE);
    }
    return true;
}

HFONT AboutDialog::FontFor(Font font) const
{
    switch (font) {
    case Font::kDescription:
        return descriptionFont_.get();
    case Font::kTitle:
        return titleFont_.get();
    case Font::kDialog:
        break;
    }
    return reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
}

void AboutDialog::OnCommand(int id, int notification)
{
    if (id == IDOK || id == IDCANCEL) // cmdOK, by click, Enter or Escape
        EndDialog(window_, IDOK);
    else if (id == kCmdSysInfo && notification == BN_CLICKED)
        StartSysInfo(window_);
}

// The two lines of the etched separator.
bool AboutDialog::OnDrawItem(const DRAWITEMSTRUCT& item) const
{
    if (item.CtlID != kLine1Index1 && item.CtlID != kLine1Index0)
        return false;
    SetDCBrushColor(item.hDC, item.CtlID == kLine1Index1 ? kLineGrey : kLineWhite);
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    return true;
}

void AboutDialog::Unload() noexcept
{
    window_ = nullptr;
    icon_.reset();
    titleFont_.reset();
    descriptionFont_.reset();
}

} // namespace

void ShowAboutDialog(HWND owner) noexcept { ThisThreadsDialog().ShowModal(owner); }

} // namespace rawlet::about
