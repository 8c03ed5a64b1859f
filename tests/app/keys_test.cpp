// The main window from the keyboard and for an accessibility client: the
// command table's refusals and enabling, the focused row and the events a
// screen reader is told (Shift+F10 and F2 are pressed in focus_tests).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/main_commands.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"

namespace tsly {
namespace {

class KeysTest : public test::MainWindowFixture {
protected:
    void TearDown() override {
        if (main_ && IsWindow(main_->hwnd())) SendMessageW(main_->hwnd(), WM_CLOSE, 0, 0);
        MSG msg;  // the close and its quit, which would end the next test's boxes
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // The window with three rows scanned from a folder that has a subfolder
    // (a scan turns the message loop before it enters one).
    TFrmMain& StartWithRows() {
        for (const char* name : {"a.lnk", "b.lnk", "sub\\c.lnk"}) {
            if (std::string(name).find('\\') != std::string::npos) dir_.MakeFolder("sub");
            dir_.Make(name);
        }
        main_ = Start();
        main_->ScanFolder(dir_.path());
        return *main_;
    }
    HWND List() const { return main_->ListView_main().hwnd(); }
    // A key as the list gets it from the keyboard: its notification, with
    // the window's key handling.
    void Press(WPARAM key) const {
        SendMessageW(List(), WM_KEYDOWN, key, 0);
        SendMessageW(List(), WM_KEYUP, key, 0);
    }

    test::CleanRegistry registry_;
    test::TempDir dir_;
    std::unique_ptr<TFrmMain> main_;
};

// The accessibility events of one kind this process raised: window, child.
std::vector<std::pair<HWND, LONG>> g_events;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) g_events.emplace_back(window, child);
}
class EventHook {
public:
    explicit EventHook(DWORD event)
        : hook_(SetWinEventHook(event, event, nullptr, &RecordEvent, GetCurrentProcessId(), 0,
                                WINEVENT_OUTOFCONTEXT)) {
        g_events.clear();
    }
    ~EventHook() { UnhookWinEvent(hook_); }
    EventHook(const EventHook&) = delete;
    EventHook& operator=(const EventHook&) = delete;
    bool ok() const { return hook_ != nullptr; }
    // The events come as messages to this thread.
    static bool WaitForOne() { return test::PumpUntil([] { return !g_events.empty(); }, 5000); }

private:
    HWINEVENTHOOK hook_;
};

bool MenuEnabled(HWND window, int id) {
    return !(GetMenuState(GetMenu(window), static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED);
}
bool ToolEnabled(HWND toolBar, int id) {
    return SendMessageW(toolBar, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0) != 0;
}

TEST_F(KeysTest, CuttingIsEnabledExactlyWhileARowIsTicked) {
    main_ = Start();
    HWND toolBar = FindWindowExW(FindWindowExW(main_->hwnd(), nullptr, REBARCLASSNAMEW, nullptr),
                                 nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_TRUE(toolBar);
    struct Step {
        const char* what;
        std::function<void()> act;
        bool cutEnabled;
    };
    const Step steps[] = {
        {"empty list", [] {}, false},
        {"scanned", [&] { dir_.Make("a.lnk"); main_->ScanFolder(dir_.path()); }, true},
        {"all unticked", [&] { SendMessageW(main_->hwnd(), WM_COMMAND, kCmdUncheckAll, 0); }, false},
        {"one ticked with Space", [&] { Press(VK_SPACE); }, true},
        {"cleared", [&] { SendMessageW(main_->hwnd(), WM_COMMAND, kCmdClearList, 0); }, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(MenuEnabled(main_->hwnd(), kCmdCutShortcut), step.cutEnabled);
        EXPECT_EQ(ToolEnabled(toolBar, kCmdCutShortcut), step.cutEnabled);
        EXPECT_EQ(main_->CommandEnabled(kCmdCutShortcut), step.cutEnabled);
    }
    // A cut asked for with nothing ticked does nothing and says nothing.
    test::PumpUntil([&] { return main_->StatusText(1).empty(); });
    SendMessageW(main_->hwnd(), WM_COMMAND, kCmdCutShortcut, 0);
    EXPECT_EQ(main_->StatusText(1), "");
}

TEST_F(KeysTest, UndoShowsItsKeyBesideItsMenuItem) {
    main_ = Start();
    wchar_t text[64] = {};
    GetMenuStringW(GetMenu(main_->hwnd()), kCmdUndo, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), L"元に戻す(&U)\tCtrl+Z");
}

TEST_F(KeysTest, AScanAStartWithPathsAndADropLeaveTheFirstRowFocusedAlone) {
    TFrmMain& main = StartWithRows();
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 0);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u);
    main.ListView_main().SetCheckedAll(true);
    SendMessageW(main.hwnd(), WM_CLOSE, 0, 0);

    main_ = Start({dir_.path() + "a.lnk", dir_.path() + "b.lnk"});
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 0);

    ListView_SetItemState(List(), 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    test::DropFiles(main_->hwnd(), {dir_.path() + "sub\\c.lnk"});
    EXPECT_EQ(main_->ListView_main().model().Count(), 3u);
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 0);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u);
}

TEST_F(KeysTest, SpaceTicksTheFocusedRowAndTellsAScreenReader) {
    StartWithRows();
    EventHook hook(EVENT_OBJECT_STATECHANGE);
    ASSERT_TRUE(hook.ok());
    Press(VK_SPACE);  // row 0, focused after the scan, and nothing else
    EXPECT_FALSE(main_->ListView_main().model().Checked(0));
    EXPECT_TRUE(main_->ListView_main().model().Checked(1));
    EXPECT_TRUE(EventHook::WaitForOne());
    // Row 0 is the list's child 1.
    EXPECT_EQ(g_events, (std::vector<std::pair<HWND, LONG>>{{List(), 1}}));
    // Every selected row alike, and the selection stays for the next Space.
    const std::size_t rows = main_->ListView_main().model().Count();
    ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
    for (const std::size_t ticked : {rows, std::size_t{0}}) {
        Press(VK_SPACE);
        EXPECT_EQ(main_->ListView_main().model().CheckedCount(), ticked);
        EXPECT_EQ(ListView_GetSelectedCount(List()), rows);
    }
    // What a screen reader walking window texts calls the list.
    wchar_t name[32] = {};
    GetWindowTextW(List(), name, 32);
    EXPECT_EQ(std::wstring(name), ShortcutListView::kAccessibleName);
}

// A path cut off at the first start's width shows whole in a tip when its
// row is reached by a key, and "結果", which reads whole, does not; a click
// hides it.
TEST_F(KeysTest, ARowReachedByAKeyShowsWhatItsColumnsCutOff) {
    const std::string x = "Microsoft Office Professional Plus 2016 の説明書";
    for (const std::string& name : {std::string("a.lnk"), x + " - ショートカット.lnk", x + " .lnk"}) dir_.Make(name);
    main_ = Start();
    main_->ScanFolder(dir_.path());
    ASSERT_EQ(main_->ListView_main().model().Caption(1), dir_.path() + x + " - ショートカット.lnk");
    EXPECT_TRUE(test::PumpUntil([&] {  // the columns shared again after the scan
        return ListView_GetColumnWidth(List(), 1) >=
               SendMessageW(List(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"同じ名前のファイルがあります")) + 12;
    }));
    HWND tip = main_->ListView_main().KeyTip();
    ASSERT_TRUE(tip);
    Press(VK_DOWN);
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), 1);
    EXPECT_TRUE(IsWindowVisible(tip));
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = List();
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(test::U(text), dir_.path() + x + " - ショートカット.lnk");
    SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(List(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(IsWindowVisible(tip));
    // It goes when a menu opens, a command runs or the row's texts change,
    // and comes back when a key moves the focus; lines as wide as the DPI
    // makes 800 pixels.
    const std::function<void()> hides[] = {
        [&] { SendMessageW(main_->hwnd(), WM_ENTERMENULOOP, FALSE, 0); },
        [&] { SendMessageW(main_->hwnd(), WM_COMMAND, kCmdSelectAllRows, 0); },
        [&] { main_->ListView_main().SetChecked(1, false); }};
    for (const auto& hide : hides) {
        Press(VK_UP);
        Press(VK_DOWN);
        ASSERT_TRUE(IsWindowVisible(tip));
        hide();
        EXPECT_FALSE(IsWindowVisible(tip));
        SendMessageW(main_->hwnd(), WM_EXITMENULOOP, FALSE, 0);
    }
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), MulDiv(800, static_cast<int>(main_->Dpi()), 96));
}

TEST_F(KeysTest, ACutsEndTellsAScreenReaderTheStatusBarsCounts) {
    StartWithRows();
    EventHook hook(EVENT_OBJECT_NAMECHANGE);
    ASSERT_TRUE(hook.ok());
    SendMessageW(main_->hwnd(), WM_COMMAND, kCmdCutShortcut, 0);
    EXPECT_EQ(main_->StatusText(1), "変更 0 件・失敗 0 件");
    EXPECT_TRUE(EventHook::WaitForOne());
    // The counts are the status bar's second part, its child 2.
    const auto counts = std::make_pair(main_->StatusBar1(), LONG{2});
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), counts), g_events.end());
}

// While a scan runs, ticking, editing and dropping are refused as the menu
// commands are: keys, a command and a drop that reach the window at the
// scan's first turn of the message loop change nothing.
TEST_F(KeysTest, TheListHoldsStillWhileAScanRuns) {
    TFrmMain& main = StartWithRows();
    ASSERT_TRUE(main.ListView_main().model().Checked(0));
    for (WPARAM key : {VK_SPACE, VK_F2}) PostMessageW(List(), WM_KEYDOWN, key, 0);
    PostMessageW(main.hwnd(), WM_COMMAND, kCmdUncheckAll, 0);
    dir_.MakeFolder("more");
    dir_.Make("more\\d.lnk");
    test::DropFiles(main.hwnd(), {dir_.Make("dropped.txt")}, true);
    test::MessageBoxWatcher watcher;  // the rows listed already are duplicates
    main.ScanFolder(dir_.path());
    EXPECT_TRUE(main.ListView_main().model().Checked(0));
    EXPECT_TRUE(main.ListView_main().model().Checked(1));
    EXPECT_FALSE(ListView_GetEditControl(List()));
    EXPECT_EQ(main.ListView_main().model().Count(), 4u);
}

}  // namespace
}  // namespace tsly
