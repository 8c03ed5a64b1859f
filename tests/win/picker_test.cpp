// The folder picker against the real shell and its folder dialog.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "app/main_window.h"
#include "app/find_folder.h"
#include "app/main_commands.h"
#include "platform/application.h"
#include "platform/text.h"
#include "shell/SHBFFEX.h"
#include "tests/win/win_test_support.h"

namespace tsly {
namespace {

using test::BrowseDriver;

std::string PathOf(const ITEMIDLIST* id) {
    wchar_t path[MAX_PATH] = {};
    SHGetPathFromIDListW(id, path);
    return win::FromWide(path);
}

std::string WindowsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetWindowsDirectoryW(path, MAX_PATH);
    return win::FromWide(path);
}

bool IsDesktopRoot(const ITEMIDLIST* id) { return id && id->mkid.cb == 0; }

win::ComPtr<IShellFolder> Desktop() {
    IShellFolder* desktop = nullptr;
    SHGetDesktopFolder(&desktop);
    return win::ComPtr<IShellFolder>(desktop);
}

// A picker that records what its selection-changed hook sees and answers
// with a fixed status text and OK request.
class RecordingPicker final : public TSHBrowseForFolderEx {
public:
    using TSHBrowseForFolderEx::TSHBrowseForFolderEx;
    std::vector<std::string> paths;
    std::vector<bool> heldInitialSelection;
    std::string answerText;
    TOKButtonState answerState = obsNone;

protected:
    void DoSelectionChanged(HWND Wnd, const std::string& Path, std::string& ShowText,
                            TOKButtonState& OKButtonState) override {
        EXPECT_TRUE(ShowText.empty());
        EXPECT_EQ(OKButtonState, obsNone);
        paths.push_back(Path);
        heldInitialSelection.push_back(HoldsInitialSelection());
        ShowText = answerText;
        OKButtonState = answerState;
        TSHBrowseForFolderEx::DoSelectionChanged(Wnd, Path, ShowText, OKButtonState);
    }
};

// The picker starts at the last folder scanned, kept in the registry from
// one run to the next: the folder, typed in and selected (the picker's
// manual setting, which ResolveFolderSetting's test shows resolved); the
// desktop folder again when it is gone.
TEST(PickerStart, IsTheLastFolderScannedAndTheDesktopWhenItIsGone) {
    test::CleanRegistry registry;
    test::TempDir dir;
    const std::string scanned = test::Unslashed(dir.MakeFolder("scanned"));
    {
        TFrmMain earlier;
        char program[] = "tsly.exe";
        char* argv[] = {program};
        earlier.Create(1, argv);
        earlier.ScanFolder(scanned + "\\");
        DestroyWindow(earlier.hwnd());
        MSG msg;  // the quit message the window posted on its way out
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_EQ(test::ReadRegText(test::kOptionsKey, "LastFolder"), scanned);

    TFrmMain main;
    struct Start {
        TSelectFolder kind;
        std::string name;
    };
    const auto startOf = [&main] {
        TSHBrowseForFolderEx picker(&main);
        ConfigureFolderPicker(picker, main.SelectedFolder);
        return Start{picker.SelectFolder(), picker.SelectFolderName()};
    };
    const Start there = startOf();
    EXPECT_EQ(there.kind, sfManual);
    EXPECT_EQ(there.name, scanned);

    RemoveDirectoryW(win::ToWide(scanned).c_str());
    EXPECT_EQ(startOf().kind, sfDesktopDir);
}

TEST(ResolveFolderSetting, UsesATypedFolderAndOtherwiseTheDesktop) {
    const win::ComPtr<IShellFolder> desktop = Desktop();
    ASSERT_TRUE(desktop);
    const std::string windows = WindowsFolder();
    test::TempDir temp;
    const std::string file = temp.path() + "plain.txt";
    CloseHandle(CreateFileW(win::ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    struct Case {
        std::uint8_t kind;
        std::string name;
        bool desktopRoot;
        std::string path;  // when not the desktop root
    };
    const Case cases[] = {
        {sfManual, windows, false, windows},
        {rfManual, test::Unslashed(temp.path()), false, test::Unslashed(temp.path())},
        {sfManual, "", true, ""},                        // no name
        {sfManual, file, true, ""},                      // a plain file fails the test
        {rfManual, temp.path() + "missing", true, ""},  // does not parse
        {sfDesktop, windows, true, ""},                  // the name is only for manual
    };
    for (const Case& c : cases) {
        const win::UniqueIdList id = ResolveFolderSetting(desktop.get(), c.kind, c.name);
        ASSERT_TRUE(id) << c.name;
        EXPECT_EQ(IsDesktopRoot(id.get()), c.desktopRoot) << c.name;
        if (!c.desktopRoot) {
            EXPECT_STREQ(PathOf(id.get()).c_str(), c.path.c_str());
        }
    }

    // A special folder from the table.
    ITEMIDLIST* sendTo = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_SENDTO, &sendTo)));
    const win::UniqueIdList expected(sendTo);
    const win::UniqueIdList id = ResolveFolderSetting(desktop.get(), sfSendTo, "");
    ASSERT_TRUE(id);
    EXPECT_EQ(PathOf(id.get()), PathOf(expected.get()));
}

TEST(TSHBrowseForFolderEx, ReportsSelectionsAndReturnsTheChosenFolder) {
    const std::string windows = WindowsFolder();
    RecordingPicker picker(nullptr);
    picker.SetSelectFolder(sfManual);
    picker.SetSelectFolderName(windows + "\\system32");
    picker.SetCaption("テスト");
    picker.SetOptions({sboReturnOnlyFSDirs, sboStatusTextAndShowPath});
    picker.answerText = "the handler's text";
    picker.answerState = obsDisabled;

    test::SentMessageLog log;
    BrowseDriver driver({BrowseDriver::Select(windows), BrowseDriver::Press(IDOK)});
    ASSERT_TRUE(picker.Execute());
    EXPECT_EQ(driver.StepsRun(), 2u);

    EXPECT_EQ(picker.FolderPath(), windows);
    EXPECT_FALSE(picker.DisplayName().empty());
    EXPECT_FALSE(picker.HoldsInitialSelection());  // freed before Execute returned
    ASSERT_GE(picker.paths.size(), 2u);
    EXPECT_EQ(picker.paths.front(), windows + "\\system32");  // the initial selection
    EXPECT_EQ(picker.paths.back(), windows);
    for (bool held : picker.heldInitialSelection) EXPECT_TRUE(held);

    // The typed start folder went by its path.
    const auto selections = log.Of(BFFM_SETSELECTIONW);
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(selections.front().text, windows + "\\system32");
    // The status line shows the path, not the handler's text; the
    // initialisation set it to empty.
    const auto status = log.Of(BFFM_SETSTATUSTEXTW);
    ASSERT_FALSE(status.empty());
    bool sawEmpty = false;
    bool sawWindows = false;
    for (const auto& m : status) {
        EXPECT_NE(m.text, "the handler's text");
        sawEmpty |= m.text.empty();
        sawWindows |= m.text == windows;
    }
    EXPECT_TRUE(sawEmpty);
    EXPECT_TRUE(sawWindows);
    // The dialog enables OK itself through the same message; the handler's
    // request to disable it went out on every selection change.
    std::size_t disables = 0;
    for (const auto& m : log.Of(BFFM_ENABLEOK)) disables += m.value == 0;
    EXPECT_GE(disables, picker.paths.size());
}

TEST(TSHBrowseForFolderEx, CancelReturnsFalseAfterReportingTheSelections) {
    const std::string windows = WindowsFolder();
    RecordingPicker picker(nullptr);
    test::SentMessageLog log;
    BrowseDriver driver({BrowseDriver::Select("C:\\"), BrowseDriver::Select(windows),
                         BrowseDriver::Press(IDCANCEL)});
    EXPECT_FALSE(picker.Execute());
    EXPECT_EQ(driver.StepsRun(), 3u);
    EXPECT_TRUE(picker.FolderPath().empty());
    EXPECT_TRUE(picker.DisplayName().empty());
    ASSERT_FALSE(picker.paths.empty());
    EXPECT_EQ(picker.paths.back(), windows);
    // Without a status option the status text still goes out, empty, on
    // every callback message.
    const auto status = log.Of(BFFM_SETSTATUSTEXTW);
    EXPECT_GT(status.size(), picker.paths.size());
    for (const auto& m : status) EXPECT_TRUE(m.text.empty());
}

TEST(TSHBrowseForFolderEx, CentresOnTheWorkArea) {
    TSHBrowseForFolderEx picker(nullptr);
    picker.SetShowStyle(ssCenterScreen);
    RECT dialog{};
    BrowseDriver driver({[&](HWND d) { dialog = test::WindowRect(d); },
                         BrowseDriver::Press(IDCANCEL)});
    picker.Execute();
    ASSERT_EQ(driver.StepsRun(), 2u);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    EXPECT_EQ(dialog.left, (work.right - work.left - width) / 2);
    EXPECT_EQ(dialog.top, (work.bottom - work.top - height) / 3);
}

class OwnerForm final : public win::Window {
public:
    OwnerForm() {
        RegisterClass("TsTestOwner", nullptr, GetSysColorBrush(COLOR_BTNFACE));
        CreateWindowFor(0, "TsTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 137, 91,
                        400, 300, nullptr, nullptr);
    }
};

TEST(TSHBrowseForFolderEx, OpensAtTheOwnerClientAreaAndLeavesTheOwnerEnabled) {
    OwnerForm owner;
    ASSERT_TRUE(owner.hwnd());
    TSHBrowseForFolderEx picker(&owner);  // ssClient by default
    RECT dialog{};
    bool ownerEnabled = true;
    bool appEnabled = true;
    BrowseDriver driver({[&](HWND d) {
                             dialog = test::WindowRect(d);
                             ownerEnabled = IsWindowEnabled(owner.hwnd()) != FALSE;
                             appEnabled =
                                 IsWindowEnabled(win::Application::Instance().Handle()) != FALSE;
                         },
                         BrowseDriver::Press(IDCANCEL)});
    picker.Execute();
    ASSERT_EQ(driver.StepsRun(), 2u);
    POINT origin{0, 0};
    ClientToScreen(owner.hwnd(), &origin);
    EXPECT_EQ(dialog.left, origin.x);
    EXPECT_EQ(dialog.top, origin.y);
    // Disabled while the dialog runs, enabled again afterwards.
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(appEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(win::Application::Instance().Handle()));
}

TEST(ChooseFolderToScan, GivesTheChosenFolderWithASeparatorButADriveRootAsItIs) {
    const std::string windows = WindowsFolder();
    TFrmMain main;
    std::string folder;
    {
        BrowseDriver driver({BrowseDriver::Select(windows), BrowseDriver::Press(IDOK)});
        ASSERT_TRUE(ChooseFolderToScan(main, main.SelectedFolder, folder));
    }
    EXPECT_EQ(main.SelectedFolder, windows);
    EXPECT_EQ(folder, windows + "\\");
    {
        BrowseDriver driver({BrowseDriver::Select("C:\\"), BrowseDriver::Press(IDOK)});
        ASSERT_TRUE(ChooseFolderToScan(main, main.SelectedFolder, folder));
    }
    EXPECT_EQ(folder, "C:\\");
    // Cancelled: no folder, but the last selection stays.
    folder = "unchanged";
    {
        BrowseDriver driver({BrowseDriver::Select(windows), BrowseDriver::Press(IDCANCEL)});
        EXPECT_FALSE(ChooseFolderToScan(main, main.SelectedFolder, folder));
    }
    EXPECT_EQ(folder, "unchanged");
    EXPECT_EQ(main.SelectedFolder, windows);
}

TEST(ChooseFolderToScan, OpensOnTheDesktopFolder) {
    test::CleanRegistry registry;  // no folder scanned before
    TFrmMain main;
    wchar_t wideDesktopDir[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, wideDesktopDir, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::string desktopDir = win::FromWide(wideDesktopDir);
    std::string folder;
    BrowseDriver driver({BrowseDriver::Press(IDOK)});
    ASSERT_TRUE(ChooseFolderToScan(main, main.SelectedFolder, folder));
    EXPECT_EQ(main.SelectedFolder, desktopDir);
    EXPECT_EQ(folder, desktopDir + "\\");
}

// The command itself, from the menu or the tool bar: the chosen folder is
// scanned into the list; a cancelled dialog scans nothing.
TEST(FindFolderCommand, ScansTheChosenFolderAndNothingWhenCancelled) {
    test::CleanRegistry registry;
    test::TempDir dir;
    dir.MakeFolder("sub");
    const std::string a = dir.Make("sub\\aへのショートカット.lnk");
    TFrmMain main;
    char program[] = "tsly.exe";
    char* argv[] = {program};
    main.Create(1, argv);
    {
        BrowseDriver driver({BrowseDriver::Select(test::Unslashed(dir.path())), BrowseDriver::Press(IDCANCEL)});
        SendMessageW(main.hwnd(), WM_COMMAND, kCmdFindFolder, 0);
        EXPECT_EQ(driver.StepsRun(), 2u);
    }
    EXPECT_EQ(main.ListView_main().model().Count(), 0u);
    {
        BrowseDriver driver({BrowseDriver::Select(test::Unslashed(dir.path())), BrowseDriver::Press(IDOK)});
        SendMessageW(main.hwnd(), WM_COMMAND, kCmdFindFolder, 0);
        EXPECT_EQ(driver.StepsRun(), 2u);
    }
    ASSERT_EQ(main.ListView_main().model().Count(), 1u);
    EXPECT_EQ(main.ListView_main().model().Caption(0), a);
    EXPECT_EQ(main.StatusText(), "1 個のファイルが見つかりました。");
    DestroyWindow(main.hwnd());
    MSG msg;  // the quit message the window posted on its way out
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace
}  // namespace tsly
