// "&System Info..." in a shown About box, with the tool's keys set in the prefix's registry:
// the tool starts (a marker program proves it), or the unavailable message appears.
#include <gtest/gtest.h>

#include "about_dialog.h"
#include "dialog_layout.h"
#include "driver.h"
#include "registry.h"
#include "system_info.h"
#include "test_files.h"

namespace rawlet::test {
namespace {

constexpr char kUnavailable[] = "System Information Is Unavailable At This Time";

// What followed a click on System Info.
struct Outcome {
    bool dialogShown = false;
    bool messageShown = false;
    std::string messageText;
    std::vector<std::string> messageButtons;
    bool messageClosedByOk = false;
    bool dialogOpenAfterwards = false;
    std::string started; // what the marker wrote: the path it was started from
};

void ReadMessageBox(HWND box, Outcome& outcome)
{
    outcome.messageShown = true;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const Element element = ReadElement(child);
        if (!IsWindowVisible(child) || element.text.empty())
            continue;
        if (_stricmp(element.windowClass.c_str(), "Button") == 0)
            outcome.messageButtons.push_back(element.text);
        else if (_stricmp(element.windowClass.c_str(), "Static") == 0)
            outcome.messageText = element.text;
    }
    Click(box, IDOK);
    outcome.messageClosedByOk = WaitFor([&] { return !IsWindow(box); });
    CloseIfOpen(box);
}

class SystemInfo : public testing::Test {
protected:
    void SetUp() override
    {
        RemoveToolKeys();
        markerFile_ = Folder("marker") + "\\started.txt";
        SetEnvironmentVariableA("RAWLET_MARKER_FILE", markerFile_.c_str());
    }
    void TearDown() override { RemoveToolKeys(); }

    // Shows the About box, clicks System Info, waits for the tool or a message box, closes
    // the message box with OK and the dialog with OK.
    Outcome ClickSystemInfo()
    {
        Outcome outcome;
        const auto started = [&] { return ReadFile(markerFile_).find('\n') != std::string::npos; };
        WhileShowing([] { about::ShowAboutDialog(nullptr); },
                     [&](DWORD thread) {
                         const HWND dialog = WaitForDialog(thread);
                         if (!(outcome.dialogShown = dialog != nullptr))
                             return;
                         Click(dialog, about::kCmdSysInfo);
                         WaitFor([&] { return FindDialog(thread, dialog) || started(); });
                         if (const HWND box = FindDialog(thread, dialog))
                             ReadMessageBox(box, outcome);
                         outcome.dialogOpenAfterwards = IsWindow(dialog);
                         Click(dialog, about::kCmdOK);
                         WaitFor([&] { return !IsWindow(dialog); });
                         CloseIfOpen(dialog);
                     });
        outcome.started = ReadFile(markerFile_);
        return outcome;
    }

    void ExpectStarted(const Outcome& outcome, const std::string& program)
    {
        ASSERT_TRUE(outcome.dialogShown);
        EXPECT_FALSE(outcome.messageShown) << outcome.messageText;
        EXPECT_EQ(outcome.started, program + "\n");
        EXPECT_TRUE(outcome.dialogOpenAfterwards) << "System Info closed the dialog";
    }

    void ExpectUnavailable(const Outcome& outcome)
    {
        ASSERT_TRUE(outcome.dialogShown);
        ASSERT_TRUE(outcome.messageShown) << "no message box";
        EXPECT_EQ(outcome.messageText, kUnavailable);
        EXPECT_EQ(outcome.messageButtons, std::vector<std::string>{"OK"});
        EXPECT_TRUE(outcome.messageClosedByOk);
        EXPECT_TRUE(outcome.dialogOpenAfterwards) << "the message closed the dialog";
        EXPECT_EQ(outcome.started, "");
    }

    std::string markerFile_;
};

TEST_F(SystemInfo, StartsTheProgramThatTheMsinfoPathNames)
{
    const std::string program = Folder("tool folder") + "\\system info tool.exe";
    ASSERT_TRUE(PlaceMarker(program));
    RegAddText(kToolKey, "PATH", program);
    ExpectStarted(ClickSystemInfo(), program);
}

TEST_F(SystemInfo, StartsMsinfo32FromTheSharedToolsLocation)
{
    const std::string folder = Folder("location");
    ASSERT_TRUE(PlaceMarker(folder + "\\MSINFO32.EXE"));
    RegAddText(kLocationKey, "MSINFO", folder);
    const Outcome outcome = ClickSystemInfo();
    ExpectStarted(outcome, folder + "\\MSINFO32.EXE");
}

// A user who may only read under the local-machine root still finds the tool.
TEST_F(SystemInfo, StartsTheToolFromKeysThatMayOnlyBeRead)
{
    const std::string program = Folder("read only") + "\\tool.exe";
    ASSERT_TRUE(PlaceMarker(program));
    RegAddText(kToolKey, "PATH", program);
    ASSERT_TRUE(MakeReadOnly(HKEY_LOCAL_MACHINE, std::string(kToolKey).substr(5)));
    HKEY writable = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kToolKey).substr(5).c_str(), 0, 0x2003F, &writable),
        ERROR_ACCESS_DENIED)
        << "the key's rights are not enforced, so this test would prove nothing";
    ExpectStarted(ClickSystemInfo(), program);
}

TEST_F(SystemInfo, TheLocationIsUsedOnlyWhereMsinfo32Exists)
{
    const std::string folder = Folder("empty location");
    ASSERT_TRUE(PlaceMarker(folder + "\\OTHER.EXE"));
    RegAddText(kLocationKey, "MSINFO", folder);
    ExpectUnavailable(ClickSystemInfo());
}

TEST_F(SystemInfo, IsUnavailableWithoutEitherKey) { ExpectUnavailable(ClickSystemInfo()); }

TEST_F(SystemInfo, IsUnavailableWhenTheMsinfoPathIsEmptyOrNamesNoProgram)
{
    for (const std::string& path : {std::string(), Folder("nothing") + "\\absent.exe"}) {
        SCOPED_TRACE(path);
        RegAddText(kToolKey, "PATH", path);
        ExpectUnavailable(ClickSystemInfo());
    }
}

// The MSINFO path is taken as it stands: no test that the file exists, and it wins over the
// location.
TEST_F(SystemInfo, TheMsinfoPathComesFirst)
{
    const std::string program = Folder("first") + "\\first.exe";
    const std::string folder = Folder("second");
    RegAddText(kToolKey, "PATH", program);
    RegAddText(kLocationKey, "MSINFO", folder);
    ASSERT_TRUE(PlaceMarker(folder + "\\MSINFO32.EXE"));
    EXPECT_EQ(about::SysInfoPath(), program);
}

} // namespace
} // namespace rawlet::test
