#include "driver.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace rawlet::test {
namespace {

constexpr auto kPatience = std::chrono::seconds(60);

struct Search {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    if (search.owner && GetWindow(window, GW_OWNER) != search.owner)
        return TRUE;
    search.found = window;
    return FALSE;
}

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

} // namespace

bool WaitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

HWND FindDialog(DWORD thread, HWND owner)
{
    Search search{owner, nullptr};
    EnumThreadWindows(thread, &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD thread, HWND owner)
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindDialog(thread, owner)) != nullptr; });
    return found;
}

std::string TextOf(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

Element ReadElement(HWND window)
{
    Element element;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    element.windowClass = name;
    element.text = TextOf(window);
    element.style = GetWindowLongA(window, GWL_STYLE);
    GetWindowRect(window, &element.rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&element.rect), 2);
    return element;
}

std::vector<int> ChildIds(HWND dialog)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

void Click(HWND dialog, int buttonId) { PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0); }

void CloseIfOpen(HWND dialog)
{
    if (IsWindow(dialog))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void WhileShowing(const std::function<void()>& show, const std::function<void(DWORD)>& drive)
{
    std::thread driver(drive, GetCurrentThreadId());
    show();
    driver.join();
}

bool TakeScreenshot()
{
    const char* request = std::getenv("RAWLET_SCREENSHOT_REQUEST");
    const char* done = std::getenv("RAWLET_SCREENSHOT_DONE");
    if (!request || !done)
        return false;
    std::ofstream(request) << "screen\n";
    return WaitFor([&] { return FileExists(done); });
}

} // namespace rawlet::test
