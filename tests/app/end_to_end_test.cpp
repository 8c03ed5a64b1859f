// The real tsly.exe, started as the Send To menu starts it and driven from
// outside through its windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <set>

#include "app/main_commands.h"
#include "tests/app/harness.h"
#include "tests/app/running_program.h"

namespace tsly {
namespace {

using test::CleanRegistry;
using test::MessageBoxWatcher;
using test::U;
using test::W;
using test::TempDir;
using test::RunningProgram;
using test::RowCount;
using test::StatusText;
using test::WaitForText;
using test::VisibleMainWindow;


TEST(EndToEnd, SendToStartRenamesAndTheNextStartRestoresTheGeometry) {
    CleanRegistry registry;
    TempDir dir;
    const std::string a = dir.Make("電卓へのショートカット.lnk", "1");
    const std::string b = dir.Make("表計算へのｼｮｰﾄｶｯﾄ.lnk", "2");
    const std::string c = dir.Make("電卓へのショートカット (2).lnk", "3");
    {
        RunningProgram program({a, b, c});
        ASSERT_TRUE(program.started());
        HWND main = program.WaitForMainWindow();
        ASSERT_TRUE(main);
        EXPECT_TRUE(WaitForText(main, "処理は終了しました。"));
        EXPECT_EQ(dir.Names(), (std::vector<std::string>{"表計算 .lnk", "電卓 .lnk",
                                                        "電卓へのショートカット (2).lnk"}));
        EXPECT_EQ(RowCount(main), 3);
        EXPECT_TRUE(IsWindowVisible(main));  // the window stays open

        SetWindowPos(main, nullptr, 50, 60, 600, 350, SWP_NOZORDER | SWP_NOACTIVATE);
        PostMessageW(main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainLeft"), "50");
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainTop"), "60");
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainWidth"), "600");
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainHeight"), "350");

    RunningProgram again(std::vector<std::string>{});
    HWND main = again.WaitForMainWindow();
    ASSERT_TRUE(main);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 350);
    EXPECT_EQ(RowCount(main), 0);
    EXPECT_EQ(StatusText(main), "");  // no parameters: no cut
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.WaitForExit());
}

TEST(EndToEnd, DuplicateParameterIsRefusedBeforeTheWindowShows) {
    CleanRegistry registry;
    TempDir dir;
    const std::string a = dir.Make("a.lnk");
    RunningProgram program({a, a});
    ASSERT_TRUE(program.started());
    std::atomic<int> shownAtBox{-1};
    MessageBoxWatcher watcher(program.pid(), [&](HWND) {
        shownAtBox = VisibleMainWindow(program.pid()) != nullptr;
    });
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(shownAtBox, 0);  // the box came while the window was still hidden
    EXPECT_EQ(watcher.boxes()[0].caption, "Tessalyne");
    EXPECT_EQ(watcher.boxes()[0].text, a + " は既に登録されてます。");
    HWND main = program.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_EQ(RowCount(main), 1);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

TEST(EndToEnd, NamesBeyondTheCodePageAndLongPathsAreRenamedFromTheCommandLine) {
    CleanRegistry registry;
    TempDir dir;
    // Past 260 characters: six folders of 50 characters each.
    std::string deep;
    for (int i = 0; i < 6; ++i) deep += std::string(50, static_cast<char>('a' + i)) + "\\";
    std::string made;
    for (int i = 0; i < 6; ++i) {
        made += std::string(50, static_cast<char>('a' + i));
        CreateDirectoryW((L"\\\\?\\" + W(dir.path() + made)).c_str(), nullptr);
        made += "\\";
    }
    struct Case { std::string name, after; };
    const Case cases[] = {
        {"Adobe® Reader - ショートカット.lnk", "Adobe® Reader .lnk"},
        {"Café へのショートカット.lnk", "Café  .lnk"},
        {"😀へのショートカット.lnk", "😀 .lnk"},
        {"메모장 - ショートカット.lnk", "메모장 .lnk"},
        {"记事本へのｼｮｰﾄｶｯﾄ.lnk", "记事本 .lnk"},
        {"aṡへのショートカット.lnk", "aṡ .lnk"},  // not to be taken for "as…"
        {deep + "長いへのショートカット.lnk", deep + "長い .lnk"},
    };
    std::wstring commandLine;
    for (const Case& c : cases) {
        const std::wstring path = L"\\\\?\\" + W(dir.path() + c.name);
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        commandLine += L" \"" + W(dir.path() + c.name) + L"\"";
    }
    ASSERT_GT((dir.path() + cases[6].name).size(), 300u);
    dir.Make("asへのショートカット.lnk");

    RunningProgram program(commandLine);
    ASSERT_TRUE(program.started());
    HWND main = program.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(WaitForText(main, "処理は終了しました。"));
    EXPECT_EQ(RowCount(main), 7);
    for (const Case& c : cases) {
        const std::wstring path = L"\\\\?\\" + W(dir.path() + c.after);
        EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << c.after;
    }
    EXPECT_TRUE(dir.Exists("asへのショートカット.lnk"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit());
}

}  // namespace
}  // namespace tsly
