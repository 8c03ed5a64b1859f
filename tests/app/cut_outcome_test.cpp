// What a cut did to each row, its undo, and a long cut that stays
// responsive and stops on Escape, on real files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/history_window.h"
#include "app/main_window.h"
#include "app/folder_watch.h"
#include "app/main_commands.h"
#include "app/main_window_parts.h"
#include "platform/registry_watch.h"
#include "app/preview_counter.h"
#include "app/window_placement.h"
#include "core/text_colour.h"
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
        for (int i = 0; i < count; ++i) texts.push_back(Cell(list, i, 1));
        return texts;
    }
    // Whether a turn of the watches, with nothing new on disk or in the
    // options, leaves the preview's plan as it is.
    static bool ATurnPlansNothing(TFrmMain& main) {
        main.ListView_main().PreviewOf(0);
        const std::size_t plans = main.ListView_main().PreviewPlans();
        SendMessageW(main.hwnd(), WM_TIMER, kSettingsWatchTimerId, 0);
        main.ListView_main().PreviewOf(0);
        return main.ListView_main().PreviewPlans() == plans;
    }
    // A cell of a list control, as it draws it (also one of another thread).
    static std::string Cell(HWND list, int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return U(text);
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
    main->N6Click();
    EXPECT_TRUE(UndoEnabled(*main));  // clearing keeps what can be undone: the journal finds the files
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
    // The row that failed waits for the next Ctrl+Z, which puts it back
    // once its name is free.
    EXPECT_EQ(main->StatusText(), "一部のファイルを元に戻せませんでした（1 件は、もう一度「元に戻す」で再試行します）。");
    EXPECT_TRUE(UndoEnabled(*main));
    DeleteFileW(W(b).c_str());
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    EXPECT_EQ(Results(*main)[1], "元に戻しました");
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"表計算へのｼｮｰﾄｶｯﾄ.lnk", "電卓へのショートカット.lnk",
                                                      "😀 - ショートカット.lnk"}));
    EXPECT_FALSE(UndoEnabled(*main));
    // At the first start's size and at the least size longer counts show
    // whole, the left part giving up the room they need.
    HWND bar = main->StatusBar1();
    const std::wstring counts = W(WidestCounts());
    SendMessageW(bar, SB_SETTEXTW, 1 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(counts.c_str()));
    SendMessageW(bar, SB_SETTEXTW, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"元に戻しました。"));
    HWND tools = FindWindowExW(GetDlgItem(main->hwnd(), kRebarId), nullptr, TOOLBARCLASSNAMEW, nullptr);
    const SIZE least = LeastWindowSize(main->hwnd(), tools, main->Dpi());
    for (const SIZE size : {SIZE{528, 327}, least}) {
        SetWindowPos(main->hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageW(main->hwnd(), WM_SIZE, SIZE_RESTORED, 0);
        HDC dc = GetDC(bar);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
        SIZE text{};
        GetTextExtentPoint32W(dc, counts.c_str(), static_cast<int>(counts.size()), &text);
        ReleaseDC(bar, dc);
        RECT part{};
        SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
        EXPECT_GE(part.right - part.left - GetSystemMetrics(SM_CXVSCROLL), text.cx) << size.cx;
    }
}

// The history lists both cuts, newest first, with the focus on them; the
// older one chosen there is undone as Ctrl+Z would, and the newer stays.
TEST_F(CutOutcomeTest, TheHistoryUndoesTheCutChosenThere) {
    auto main = Start({dir_.Make("a - ショートカット.lnk", "a")});
    main->RegisterShortcut(dir_.Make("b - ショートカット.lnk", "b"));
    main->Action_cutshoutExecute();
    std::vector<std::string> seen;
    std::thread user([&seen] {
        HWND history = nullptr, cuts = nullptr;
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        for (int i = 0; i < 500 && !(cuts && gui.hwndFocus == cuts); ++i, Sleep(20)) {
            history = FindWindowW(L"TFrmHistory", nullptr);
            cuts = GetDlgItem(history, TFrmHistory::ListCuts);
            GetGUIThreadInfo(GetWindowThreadProcessId(history, nullptr), &gui);
        }
        if (!cuts || gui.hwndFocus != cuts) return;
        seen.push_back(std::to_string(ListView_GetNextItem(cuts, -1, LVNI_SELECTED)));
        LVITEMW older{};
        older.state = older.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(cuts, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&older));
        HWND rows = GetDlgItem(history, TFrmHistory::ListRows);
        seen.insert(seen.end(), {Cell(cuts, 1, 2), Cell(cuts, 1, 4), Cell(rows, 0, 0), Cell(rows, 0, 2)});
        PostMessageW(GetDlgItem(history, TFrmHistory::ButtonUndo), BM_CLICK, 0, 0);
    });
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdHistory, 0);  // returns once it closed
    user.join();
    EXPECT_EQ(seen, (std::vector<std::string>{"0", "1", "このウィンドウ", "a .lnk", "→ a - ショートカット.lnk"}));
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"元に戻しました", "b .lnk"}));
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"a - ショートカット.lnk", "b .lnk"}));
}

TEST_F(CutOutcomeTest, ALongCutAnswersMeanwhileAndStopsOnEscape) {
    constexpr int kFiles = 1500;
    // One folder of many files: on this machine the cut and the undo last
    // about a second each, twenty times the 50 ms between two turns.
    for (int i = 0; i < kFiles; ++i) dir_.Make(std::to_string(i) + "へのショートカット.lnk");
    auto main = StartScanned(dir_.path());

    // Options that open all the same are closed again, and told.
    const HWND window = main->hwnd();
    const HWND list = main->ListView_main().hwnd();
    std::atomic<bool> stop{false}, optionsShown{false};
    std::thread closer([&] {
        for (; !stop; Sleep(20)) {
            if (const HWND options = FindWindowW(L"TFrmOption", nullptr)) {
                optionsShown = true;
                PostMessageW(options, WM_CLOSE, 0, 0);
            }
        }
    });
    // Taken at the cut's first turn, after 50 ms of work, and refused: the
    // list and the options must not change under the cut. Escape in another
    // window is its own.
    PostMessageW(window, WM_COMMAND, kCmdClearList, 0);
    PostMessageW(window, WM_COMMAND, kCmdOpenOption, 0);
    PostMessageW(list, LVM_EDITLABELW, 0, 0);
    PostMessageW(win::Application::Instance().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window, WM_TIMER, kSettingsWatchTimerId, 0);  // no watch while the cut renames
    // The File menu, opened then, holds nothing up: files are renamed while
    // it is open, and the two Escapes that close it and leave the menu bar
    // stop nothing.
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    std::atomic<bool> renamedBehindMenu{false};
    std::thread menu([&] {
        const auto renamed = [&] {
            const auto names = dir_.Names();
            return std::count_if(names.begin(), names.end(), [](const std::string& n) {
                return n.find("ショートカット") == std::string::npos;
            });
        };
        HWND popup = nullptr;
        test::PumpUntil([&] { return (popup = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(popup); });
        const auto before = renamed();
        renamedBehindMenu = test::PumpUntil([&] { return IsWindowVisible(popup) && renamed() > before; });
        for (int i = 0; i < 2; ++i) PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    main->Action_cutshoutExecute();
    menu.join();
    EXPECT_TRUE(renamedBehindMenu);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
        << "a frozen window takes nothing while it works";
    EXPECT_FALSE(optionsShown);
    EXPECT_FALSE(ListView_GetEditControl(list));
    EXPECT_EQ(main->ListView_main().model().Count(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(main->StatusText(1), "変更 " + std::to_string(kFiles) + " 件・失敗 0 件");
    EXPECT_TRUE(ATurnPlansNothing(*main)) << "the cut's own renames are no news";

    // Escape, taken at the undo's first turn: files were put back by then.
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageW(window, WM_COMMAND, kCmdUndo, 0);
    stop = true;
    closer.join();
    const std::vector<std::string> results = Results(*main);
    const auto undone = std::count(results.begin(), results.end(), "元に戻しました");
    EXPECT_GT(undone, 0);
    EXPECT_LT(undone, kFiles);
    EXPECT_TRUE(main->CanUndo());  // the rest can still be undone
    EXPECT_EQ(main->StatusText(), "元に戻す処理を中止しました。");
    EXPECT_EQ(main->StatusText(1), "元に戻した " + std::to_string(undone) + " 件・失敗 0 件");
    EXPECT_EQ(dir_.Names().size(), static_cast<std::size_t>(kFiles));
}

// Counts the texts the list asks its window for.
LRESULT CALLBACK CountTextsAsked(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR count) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
        ++*reinterpret_cast<int*>(count);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// While work runs, a turn redraws the rows in view that changed, and the
// rows scrolled into view since it last looked, and leaves the rest as drawn.
TEST_F(CutOutcomeTest, AWorkTurnRedrawsOnlyTheRowsThatChanged) {
    for (int i = 0; i < 60; ++i) dir_.Make(std::to_string(100 + i) + " - ショートカット.lnk");
    auto main = StartScanned(dir_.path());
    const HWND list = main->ListView_main().hwnd();
    // Rows are drawn with the plain icon first and look up their own at
    // idle turns, never while work runs.
    const ShortcutListModel& model = main->ListView_main().model();
    main->ListView_main().SetLocked(true);
    UpdateWindow(list);
    EXPECT_FALSE(main->ListView_main().LookUpIcons(1000));
    EXPECT_EQ(model.At(0).imageIndex, ShortcutEntry::kIconUnknown);
    main->ListView_main().SetLocked(false);
    InvalidateRect(list, nullptr, FALSE);
    UpdateWindow(list);
    EXPECT_EQ(model.At(0).imageIndex, ShortcutEntry::kIconUnknown);
    EXPECT_TRUE(test::PumpUntil([&] {
        return model.At(ListView_GetCountPerPage(list)).imageIndex != ShortcutEntry::kIconUnknown;
    }));
    // A paint asks each cell for its text a few times; a path drawn must not
    // ask the control where its cell is, which asks the row again, and so on.
    int asked = 0;
    SetWindowSubclass(main->hwnd(), CountTextsAsked, 1, reinterpret_cast<DWORD_PTR>(&asked));
    InvalidateRect(list, nullptr, FALSE);
    UpdateWindow(list);
    RemoveWindowSubclass(main->hwnd(), CountTextsAsked, 1);
    EXPECT_LE(asked, 4 * (ListView_GetCountPerPage(list) + 1));
    for (const int scrolledRows : {0, 3}) {
        ListView_EnsureVisible(list, 0, FALSE);
        UpdateWindow(list);
        main->ListView_main().WatchRows();
        const int watchedEnd = ListView_GetCountPerPage(list) + 1;  // the row cut off too
        RECT row{};
        ASSERT_TRUE(ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS));
        ListView_Scroll(list, 0, scrolledRows * (row.bottom - row.top));
        UpdateWindow(list);
        const int top = ListView_GetTopIndex(list), changed = top + 1;
        main->ListView_main().model().SetOutcome(
            changed, RowOutcome{OutcomeKind::Failed, RenameFailure::NotFound, 0});
        main->ListView_main().RedrawChangedRows();
        const HRGN dirty = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(list, dirty, FALSE);
        for (int r = top; r < top + ListView_GetCountPerPage(list); ++r) {
            ASSERT_TRUE(ListView_GetItemRect(list, r, &row, LVIR_BOUNDS));
            const bool expected = r == changed || r >= watchedEnd;
            EXPECT_EQ(PtInRegion(dirty, row.left + 10, (row.top + row.bottom) / 2) != FALSE, expected)
                << "scrolled " << scrolledRows << ", row " << r;
        }
        DeleteObject(dirty);
    }
}

// Before a cut, the column shows in grey what the cut would do, and the
// status bar counts it; rows dropped on the window join the list without a
// cut. After the cut the column shows what it did.
TEST_F(CutOutcomeTest, ThePreviewTellsWhatACutWouldDoAndDroppedFilesJoinIt) {
    dir_.Make("a - ショートカット.lnk");
    dir_.Make("b - ショートカット.lnk");
    dir_.MakeFolder("b .lnk");  // takes b's new name; a folder is not listed
    dir_.Make("c.lnk");
    auto main = StartScanned(dir_.path());
    const auto previewed = [&](const char* counts) {
        return test::PumpUntil([&] { return main->StatusText(1) == counts; }, 5000);
    };
    EXPECT_TRUE(previewed("変更予定 1 件・失敗予定 1 件"));
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"→ a .lnk", "同じ名前のファイルがあります", "変更なし"}));

    // Dropped: a file, listed as Send To lists it, and a folder, scanned as
    // the picker's would be: its shortcuts join the list, the count shows,
    // and one listed already is refused with the duplicate message.
    dir_.MakeFolder("other");
    dir_.MakeFolder("sub");
    const std::string e = dir_.Make("other\\e - ショートカット.lnk");
    const std::string d = dir_.Make("sub\\d - ショートカット.lnk");
    test::DropFiles(main->hwnd(), {e, dir_.path() + "sub"});
    EXPECT_EQ(Rows(*main), (std::vector<std::string>{dir_.path() + "a - ショートカット.lnk",
                                                     dir_.path() + "b - ショートカット.lnk",
                                                     dir_.path() + "c.lnk", e, d}));
    EXPECT_EQ(main->StatusText(0), "5 個のファイルが見つかりました。");
    EXPECT_TRUE(dir_.Exists("sub\\d - ショートカット.lnk"));
    EXPECT_TRUE(previewed("変更予定 3 件・失敗予定 1 件"));
    {
        test::MessageBoxWatcher boxes;
        test::DropFiles(main->hwnd(), {dir_.path() + "sub"});
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{d + " は既に登録されてます。"}));
    }

    main->ListView_main().SetChecked(0, false);  // an unticked row shows nothing
    EXPECT_TRUE(previewed("変更予定 2 件・失敗予定 1 件"));
    main->Action_cutshoutExecute();
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"", "失敗: 同じ名前のファイルがあります", "変更なし",
                                                        "e .lnk", "d .lnk"}));
    EXPECT_EQ(main->StatusText(1), "変更 2 件・失敗 1 件");

    // Send To with a folder lists the folder itself, one row.
    main.reset();
    auto sentTo = Start({dir_.path() + "sub"});
    EXPECT_EQ(Rows(*sentTo), (std::vector<std::string>{dir_.path() + "sub\\"}));
}

// The colour the list's drawing gives a row's "結果", asked as the control
// asks: the item's stage first, then the result column's.
std::optional<COLORREF> ResultColour(TFrmMain& main, int row) {
    HWND list = main.ListView_main().hwnd();
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    HDC dc = GetDC(list);
    draw.nmcd.hdc = dc;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    const auto notify = [&] {
        return SendMessageW(main.hwnd(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    };
    std::optional<COLORREF> colour;
    if (notify() & CDRF_NOTIFYSUBITEMDRAW) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.iSubItem = 1;
        notify();
        colour = draw.clrText;
    }
    ReleaseDC(list, dc);
    return colour;
}

// A failure, foreseen by the preview or done by the cut, is drawn in a red
// that reads at 4.5:1 on the window's colour; the rest of the preview in
// grey, what a cut did in the window's text colour.
TEST_F(CutOutcomeTest, FailuresAreDrawnInARedThatReadsOnTheWindow) {
    dir_.Make("a - ショートカット.lnk");
    dir_.Make("b - ショートカット.lnk");
    dir_.Make("b .lnk");
    auto main = StartScanned(dir_.path());
    ASSERT_TRUE(test::PumpUntil([&] { return main->StatusText(1) == "変更予定 1 件・失敗予定 1 件"; }, 5000));
    const auto rows = Rows(*main);
    const int failing = static_cast<int>(std::find(rows.begin(), rows.end(), dir_.path() + "b - ショートカット.lnk") - rows.begin());
    const int renaming = static_cast<int>(std::find(rows.begin(), rows.end(), dir_.path() + "a - ショートカット.lnk") - rows.begin());
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const auto expectRed = [&](const char* when) {
        const std::optional<COLORREF> red = ResultColour(*main, failing);
        ASSERT_TRUE(red.has_value()) << when;
        // The ratio itself is pinned to known colours in the core's tests.
        EXPECT_GE(ContrastRatio(*red, window), kReadableContrast) << when;
        EXPECT_GT(GetRValue(*red), 2 * std::max(GetGValue(*red), GetBValue(*red))) << when;
    };
    expectRed("preview");
    const std::optional<COLORREF> grey = ResultColour(*main, renaming);
    ASSERT_TRUE(grey.has_value());
    EXPECT_GE(ContrastRatio(*grey, window), kReadableContrast);  // the system's grey is 2.4:1
    EXPECT_TRUE(GetRValue(*grey) == GetGValue(*grey) && GetGValue(*grey) == GetBValue(*grey));

    main->Action_cutshoutExecute();
    expectRed("outcome");
    EXPECT_EQ(ResultColour(*main, renaming), std::nullopt);
}

// Writes an option as another program would: reg.exe, waited for.
void SaveOptionElsewhere(const std::string& name, const std::string& value) {
    std::wstring command = L"reg.exe add \"HKCU\\" + W(test::kOptionsKey) + L"\" /v " + W(name) +
                           L" /t REG_SZ /d \"" + W(value) + L"\" /f";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(code, 0u);
}

// The preview is the plan of the cut as things are now: options saved by
// another program reach it as it watches them, files changed behind the
// window's back when it is activated again, and after the cut the status
// bar tells what a second cut would change.
TEST_F(CutOutcomeTest, ThePreviewFollowsOptionsSavedElsewhereAndTheDiskAndIsWhatTheCutDoes) {
    dir_.Make("aXX - ショートカット.lnk");
    dir_.Make("b - ショートカット.lnk");
    dir_.Make("c - ショートカット.lnk");
    auto main = StartScanned(dir_.path());
    const auto shows = [&](const std::vector<std::string>& texts, DWORD ms) {
        return test::PumpUntil([&] { return Results(*main) == texts; }, ms);
    };
    EXPECT_TRUE(shows({"→ aXX .lnk", "→ b .lnk", "→ c .lnk"}, 5000));

    win::RegistryWatch watch(kSettingsKey);  // as the window watches the options
    SaveOptionElsewhere("cutname", "X");
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed()) << "once a change: the watch is set again";
    SaveOptionElsewhere("cutnameflg", "1");
    EXPECT_TRUE(shows({"→ aX .lnk", "→ b .lnk", "→ c .lnk"}, 5000)) << Results(*main)[0];

    // Another program deletes b and takes c's new name, in other case; the
    // window is activated again.
    ASSERT_TRUE(DeleteFileW(W(dir_.path() + "b - ショートカット.lnk").c_str()));
    dir_.Make("C .lnk");
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    test::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000);
    SetForegroundWindow(main->hwnd());
    const std::vector<std::string> preview{"→ aX .lnk", "ファイルが見つかりません",
                                           "同じ名前のファイルがあります"};
    EXPECT_TRUE(shows(preview, 2000)) << Results(*main)[1];
    DestroyWindow(other);
    EXPECT_TRUE(test::PumpUntil([&] { return main->StatusText(1) == "変更予定 1 件・失敗予定 2 件"; }));

    main->Action_cutshoutExecute();
    EXPECT_EQ(Results(*main), (std::vector<std::string>{"aX .lnk", "失敗: " + preview[1],
                                                        "失敗: " + preview[2]}));
    // The second cut would take the other X; the outcomes stay as they are.
    EXPECT_TRUE(test::PumpUntil([&] {
        return main->StatusText(1) == "変更 1 件・失敗 2 件・もう一度カットすると 1 件変わります";
    })) << main->StatusText(1);
    EXPECT_EQ(Results(*main)[0], "aX .lnk");
    main->ListView_main().SetChecked(0, false);  // the row it counted
    EXPECT_TRUE(test::PumpUntil([&] { return main->StatusText(1) == "変更 1 件・失敗 2 件"; })) << main->StatusText(1);
    // A row the cut never reached (it was stopped) counts as its preview does.
    dir_.Make("b - ショートカット.lnk");
    main->ListView_main().model().SetOutcome(1, RowOutcome{});
    main->ListView_main().SetChecked(0, true);
    EXPECT_TRUE(test::PumpUntil([&] {
        return main->StatusText(1) == "変更 1 件・失敗 2 件・もう一度カットすると 2 件変わります";
    })) << main->StatusText(1);
}

// Another program changes a listed folder while the window stays in front:
// the preview follows without the window being activated again.
TEST_F(CutOutcomeTest, ThePreviewFollowsTheDiskWhileTheWindowStaysInFront) {
    for (const char* name : {"a - ショートカット.lnk", "b - ショートカット.lnk", "c - ショートカット.lnk"}) {
        dir_.Make(name);
    }
    auto main = StartScanned(dir_.path());
    ASSERT_TRUE(test::PumpUntil([&] { return main->WatchedFolders().Watched() == 1; }));
    const HWND active = GetActiveWindow();
    ASSERT_TRUE(test::PumpUntil([&] { return Results(*main)[2] == "→ c .lnk"; }));
    const auto at = [&](const char* name) { return W(dir_.path() + name); };
    const std::string free = "→ a .lnk", taken = "同じ名前のファイルがあります",
                      gone = "ファイルが見つかりません";
    const struct {
        std::function<void()> change;
        std::vector<std::string> shows;
    } rows[] = {
        {[&] { dir_.Make("a .lnk"); }, {taken, "→ b .lnk", "→ c .lnk"}},
        {[&] { DeleteFileW(at("a .lnk").c_str()); }, {free, "→ b .lnk", "→ c .lnk"}},
        {[&] { MoveFileW(at("b - ショートカット.lnk").c_str(), at("x.lnk").c_str()); },
         {free, gone, "→ c .lnk"}},
        {[&] { DeleteFileW(at("c - ショートカット.lnk").c_str()); }, {free, gone, gone}},
    };
    for (const auto& row : rows) {
        row.change();
        EXPECT_TRUE(test::PumpUntil([&] { return Results(*main) == row.shows; }, 5000))
            << Results(*main)[0] << " | " << Results(*main)[1] << " | " << Results(*main)[2];
    }
    EXPECT_TRUE(test::PumpUntil([&] { return ATurnPlansNothing(*main); })) << "a watch set again";
    EXPECT_EQ(GetActiveWindow(), active);
}

// Past the folders one wait can watch, those of the rows in view are
// watched, and rows that scroll into view are planned again.
TEST_F(CutOutcomeTest, PastTheWatchedFoldersTheRowsInViewFollowTheDisk) {
    constexpr int kFolders = static_cast<int>(FolderWatch::kMaxFolders) + 1;
    const auto in = [](int folder) { return "d" + std::to_string(100 + folder) + "\\"; };
    for (int i = 0; i < kFolders; ++i) {
        dir_.MakeFolder(in(i));
        dir_.Make(in(i) + "a - ショートカット.lnk");
    }
    auto main = StartScanned(dir_.path());
    ASSERT_TRUE(test::PumpUntil([&] { return main->WatchedFolders().Watched() != 0; }));
    const auto shows = [&](int row, const std::string& text) {
        return test::PumpUntil([&] { return Results(*main)[row] == text; }, 5000);
    };
    dir_.Make(in(0) + "a .lnk");  // in view
    EXPECT_TRUE(shows(0, "同じ名前のファイルがあります"));
    EXPECT_TRUE(shows(kFolders - 1, "→ a .lnk"));
    dir_.Make(in(kFolders - 1) + "a .lnk");  // out of view, not watched
    ListView_EnsureVisible(main->ListView_main().hwnd(), kFolders - 1, FALSE);
    EXPECT_TRUE(shows(kFolders - 1, "同じ名前のファイルがあります"));
}

}  // namespace
}  // namespace tsly
