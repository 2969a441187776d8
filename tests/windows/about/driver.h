#pragma once

// Driving a modal dialog from a second thread while the test's own thread is inside it,
// the way a user would: find the window, read it, click its buttons.

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

namespace rawlet::test {

// Waits, without blocking the dialog's thread, until `condition` holds; false if it never
// does within a generous bound (a guard against hanging, not a timing check).
bool WaitFor(const std::function<bool()>& condition);

// The visible dialog box (class #32770) that `thread` shows and that `owner` owns (any
// owner when none is given); none when there is no such window.
HWND FindDialog(DWORD thread, HWND owner = nullptr);
HWND WaitForDialog(DWORD thread, HWND owner = nullptr);

// What a child window shows: its class, text, style and place in its parent's client area.
struct Element {
    std::string windowClass;
    std::string text;
    LONG style = 0;
    RECT rect{};
};
Element ReadElement(HWND window);
std::string TextOf(HWND window);

// The children of `dialog` in their order (the tab order), by control identifier.
std::vector<int> ChildIds(HWND dialog);

// Clicks a dialog's button as a user would; returns at once, whatever the click opens.
void Click(HWND dialog, int buttonId);

// Closes the dialog if a test left it open, so a failed test cannot hold up the run.
void CloseIfOpen(HWND dialog);

// Runs `show` on this thread (it shows a modal dialog and returns when it is closed) while
// `drive` runs on a second thread, given this thread's identifier.
void WhileShowing(const std::function<void()>& show, const std::function<void(DWORD)>& drive);

// Asks the test script for a screenshot of the whole screen and waits until it is taken.
// False when the script asked for none (no RAWLET_SCREENSHOT_REQUEST) or it never came.
bool TakeScreenshot();

} // namespace rawlet::test
