// What a cut did to each row, its undo, and a long cut that stays
// responsive and stops on Escape, on real files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/main_commands.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"

namespace tsly {
namespace {

using test::U;
using test::W;

class CutOutcomeTest : public test::MainWindowFixture {
protected:
    // What the list control shows in the result column.
    static std::vector<std::string> Results(TFrmMain& main) {
        std::vector<std::string> texts;
        HWND list = main.ListView_main().hwnd();
        const int count = ListView_GetItemCount(list);
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            LVITEMW item{};
            item.iSubItem = 1;
            item.pszText = text;
            item.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            texts.push_back(U(text));
        }
        return texts;
    }
    static bool UndoEnabled(TFrmMain& main) {
        return !(GetMenuState(GetMenu(main.hwnd()), kCmdUndo, MF_BYCOMMAND) & MF_GRAYED);
    }

    test::CleanRegistry registry_;
    test::TempDir dir_;
};

TEST_F(CutOutcomeTest, EveryFailureKindShowsItsReason) {
    struct Row { const char* name; bool ticked; const char* result; };
    const Row rows[] = {
        {"takenへのショートカット.lnk", true, "失敗: 同じ名前のファイルがあります"},
        {"goneへのショートカット.lnk", true, "失敗: ファイルが見つかりません"},
        {"heldへのショートカット.lnk", true, "失敗: 他のプログラムが使用中です"},
        {"plain.lnk", true, "変更なし"},
        {"untickedへのショートカット.lnk", false, ""},
        {"メモ帳 - ショートカット.lnk", true, "メモ帳 .lnk"},
    };
    dir_.Make("taken .lnk");
    auto main = Start();
    for (const Row& row : rows) main->RegisterShortcut(dir_.Make(row.name));
    main->ListView_main().SetChecked(4, false);
    DeleteFileW(W(dir_.path() + "goneへのショートカット.lnk").c_str());
    // Held open by another program that does not share deleting.
    HANDLE held = CreateFileW(W(dir_.path() + "heldへのショートカット.lnk").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    main->Action_cutshoutExecute();
    CloseHandle(held);
    std::vector<std::string> expected;
    for (const Row& row : rows) expected.push_back(row.result);
    EXPECT_EQ(Results(*main), expected);
    EXPECT_EQ(main->StatusText(), "処理は終了しました。");
    EXPECT_EQ(main->StatusText(1), "変更 1 件・失敗 3 件");

    // A replacement that would leave the folder (a stored value the options
    // dialog now refuses).
    test::WriteRegText(test::kOptionsKey, "Char", "..\\x");
    main->N6Click();
    EXPECT_FALSE(UndoEnabled(*main));  // clearing drops what could be undone
    main->RegisterShortcut(dir_.Make("leaveへのショートカット.lnk"));
    main->Action_cutshoutExecute();
    EXPECT_EQ(Results(*main), std::vector<std::string>{"失敗: 名前に使えない文字があります: \\"});
}

TEST_F(CutOutcomeTest, TheStartUpsTwoRunsAreOneCutAndUndoNeverReplaces) {
    const std::string a = dir_.Make("電卓へのショートカット.lnk", "a");
    const std::string b = dir_.Make("表計算へのｼｮｰﾄｶｯﾄ.lnk", "b");
    const std::string c = dir_.Make("😀 - ショートカット.lnk", "c");
    auto main = Start({a, b, c});
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"電卓 .lnk", "表計算 .lnk", "😀 .lnk"}));
    EXPECT_EQ(main->StatusText(1), "変更 3 件・失敗 0 件");
    EXPECT_TRUE(UndoEnabled(*main));

    dir_.Make("表計算へのｼｮｰﾄｶｯﾄ.lnk", "new");  // takes an old name meanwhile
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    EXPECT_EQ(Results(*main), (std::vector<std::string>{
                                  "元に戻しました", "失敗: 同じ名前のファイルがあります", "元に戻しました"}));
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"表計算 .lnk", "表計算へのｼｮｰﾄｶｯﾄ.lnk",
                                                      "電卓へのショートカット.lnk",
                                                      "😀 - ショートカット.lnk"}));
    EXPECT_EQ(main->StatusText(1), "元に戻した 2 件・失敗 1 件");
    EXPECT_FALSE(UndoEnabled(*main));
}

TEST_F(CutOutcomeTest, ALongCutAnswersAnotherProcessAndStopsOnEscape) {
    constexpr int kFiles = 1500;
    // One folder of many files: each rename there takes the system long
    // enough that the whole cut lasts about a second.
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) paths.push_back(dir_.Make(std::to_string(i) + "へのショートカット.lnk"));
    auto main = Start();
    main->ScanFolder(dir_.path());

    // Another process asks the window to answer all through the cut.
    std::string probePath = TSLY_PROBE;  // where the build put it, as a Unix path
    for (char& ch : probePath) ch = ch == '/' ? '\\' : ch;
    std::wstring commandLine = L"\"Z:" + W(probePath) + L"\" " +
                               std::to_wstring(reinterpret_cast<INT_PTR>(main->hwnd())) + L" 2500";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION probe{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &probe));
    test::PumpUntil([] { return false; }, 300);  // the probe is under way
    // Taken at the cut's first turn, and refused: the list must not change
    // under the cut.
    PostMessageW(main->hwnd(), WM_COMMAND, kCmdClearList, 0);
    main->Action_cutshoutExecute();
    EXPECT_EQ(main->ListView_main().model().Count(), static_cast<std::size_t>(kFiles));
    ASSERT_TRUE(test::PumpUntil(
        [&] { return WaitForSingleObject(probe.hProcess, 0) == WAIT_OBJECT_0; }, 20000));
    DWORD longestWait = 0;
    GetExitCodeProcess(probe.hProcess, &longestWait);
    CloseHandle(probe.hThread);
    CloseHandle(probe.hProcess);
    EXPECT_LT(longestWait, 300u) << "ms the window did not answer";
    EXPECT_EQ(main->StatusText(1), "変更 " + std::to_string(kFiles) + " 件・失敗 0 件");

    // Escape, pressed while the undo runs, stops it after the current file.
    PostMessageW(main->ListView_main().hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    const std::vector<std::string> results = Results(*main);
    const auto undone = std::count(results.begin(), results.end(), "元に戻しました");
    EXPECT_GT(undone, 0);
    EXPECT_LT(undone, kFiles);
    EXPECT_TRUE(main->CanUndo());  // the rest can still be undone
    EXPECT_EQ(dir_.Names().size(), static_cast<std::size_t>(kFiles));
}

// Before a cut, the column shows in grey what the cut would do, and the
// status bar counts it; rows dropped on the window join the list without a
// cut. After the cut the column shows what it did.
TEST_F(CutOutcomeTest, ThePreviewTellsWhatACutWouldDoAndDroppedFilesJoinIt) {
    dir_.Make("a - ショートカット.lnk");
    dir_.Make("b - ショートカット.lnk");
    dir_.MakeFolder("b .lnk");  // takes b's new name; a folder is not listed
    dir_.Make("c.lnk");
    auto main = Start();
    main->ScanFolder(dir_.path());
    const auto previewed = [&](const char* counts) {
        return test::PumpUntil([&] { return main->StatusText(1) == counts; }, 5000);
    };
    EXPECT_TRUE(previewed("変更予定 1 件・失敗予定 1 件"));
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"→ a .lnk", "同じ名前のファイルがあります", "変更なし"}));

    // Dropped: a file and a folder, as Send To would list them.
    dir_.MakeFolder("sub");
    const std::string d = dir_.Make("sub\\d - ショートカット.lnk");
    const std::wstring files = W(d) + L'\0' + W(dir_.path() + "sub") + L'\0' + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(files.begin(), files.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(drop);
    SendMessageW(main->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(Rows(*main).back(), dir_.path() + "sub\\");
    EXPECT_TRUE(dir_.Exists("sub\\d - ショートカット.lnk"));
    EXPECT_TRUE(previewed("変更予定 2 件・失敗予定 1 件"));

    main->ListView_main().SetChecked(0, false);  // an unticked row shows nothing
    EXPECT_TRUE(previewed("変更予定 1 件・失敗予定 1 件"));
    main->Action_cutshoutExecute();
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"", "失敗: 同じ名前のファイルがあります", "変更なし",
                                                        "d .lnk", "変更なし"}));
    EXPECT_EQ(main->StatusText(1), "変更 1 件・失敗 1 件");
}

}  // namespace
}  // namespace tsly
