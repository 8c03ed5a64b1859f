// Activation after a box or the folder picker, inside a desktop with a task
// bar (scripts/wine-desktop-run.sh), where a box that gives activation to the
// wrong window shows: the keys then go nowhere until the user clicks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/main_commands.h"
#include "dialogs/options_dialog.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"

namespace tsly {
namespace {

// Cancels the first dialog of this process that is no message box.
class PickerCanceller {
public:
    PickerCanceller()
        : thread_([this] {
              for (int i = 0; i < 500 && !done_; ++i) {
                  const HWND box = test::FindWindowOf(
                      GetCurrentProcessId(), L"#32770", [](HWND d) { return !test::IsMessageBox(d); });
                  if (box) {
                      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                      done_ = true;
                  }
                  Sleep(20);
              }
          }) {}
    ~PickerCanceller() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class FocusTest : public test::MainWindowFixture {
protected:
    test::CleanRegistry registry_;
    test::TempDir dir_;
};

// Presses the keys in order and lets them go in the opposite order, as the
// keyboard gives a chord such as Ctrl+Z.
void PressChord(std::initializer_list<WORD> codes) {
    std::vector<INPUT> keys;
    for (const WORD code : codes) {
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = code;
        keys.push_back(key);
    }
    for (auto it = codes.end(); it != codes.begin();) {
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = *--it;
        key.ki.dwFlags = KEYEVENTF_KEYUP;
        keys.push_back(key);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

TEST_F(FocusTest, ActivationComesBackAfterABoxAndAfterThePicker) {
    // Sent to the program: cut at once, and Ctrl+Z at the end takes it back.
    const std::string link = dir_.Make("aへのショートカット.lnk");
    auto main = Start({link});
    ASSERT_TRUE(dir_.Exists("a .lnk"));
    const HWND list = main->ListView_main().hwnd();
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == main->hwnd(); }));

    // A box owned by the main window: no task-bar button of its own.
    std::atomic<HWND> owner{nullptr};
    {
        test::MessageBoxWatcher watcher(GetCurrentProcessId(),
                                        [&owner](HWND box) { owner = GetWindow(box, GW_OWNER); });
        SendMessageW(main->hwnd(), WM_COMMAND, kCmdDeleteSettings, 0);
        ASSERT_EQ(watcher.boxes().size(), 2u);  // the question and the answer
    }
    EXPECT_EQ(owner.load(), main->hwnd());
    EXPECT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == main->hwnd(); }, 3000))
        << "active after the box: " << GetActiveWindow();
    EXPECT_EQ(GetFocus(), list);

    {
        PickerCanceller canceller;
        SendMessageW(main->hwnd(), WM_COMMAND, kCmdFindFolder, 0);
    }
    EXPECT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == main->hwnd(); }, 3000))
        << "active after the picker: " << GetActiveWindow();
    EXPECT_EQ(GetFocus(), list);

    // The keys reach the list, and Ctrl+Z undoes the cut.
    PressChord({VK_CONTROL, 'Z'});
    EXPECT_TRUE(test::PumpUntil([&] { return dir_.Exists("aへのショートカット.lnk"); }, 3000));
    EXPECT_FALSE(main->CanUndo());
}

// The keyboard's own keys: Shift+F10 opens the list's pop-up menu at the
// focused row, F2 edits that row.
TEST_F(FocusTest, ShiftF10AndF2ActOnTheFocusedRow) {
    for (const char* name : {"a.lnk", "b.lnk", "c.lnk"}) dir_.Make(name);
    auto main = StartScanned(dir_.path());
    const HWND list = main->ListView_main().hwnd();
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == main->hwnd(); }));
    ASSERT_EQ(GetFocus(), list);
    ListView_SetItemState(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    RECT row{};
    ListView_GetItemRect(list, 2, &row, LVIR_BOUNDS);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);

    const RECT menu = test::PopupMenuShownBy([] { PressChord({VK_SHIFT, VK_F10}); });
    EXPECT_TRUE(PtInRect(&row, POINT{menu.left, menu.top}))
        << menu.left << "," << menu.top << " not in " << row.left << "," << row.top << "-"
        << row.right << "," << row.bottom;

    PressChord({VK_F2});
    EXPECT_TRUE(test::PumpUntil([&] { return ListView_GetEditControl(list) != nullptr; }, 3000));
    PressChord({VK_ESCAPE});  // the edit is cancelled, the file left as it is
    EXPECT_TRUE(test::PumpUntil([&] { return ListView_GetEditControl(list) == nullptr; }, 3000));
    EXPECT_TRUE(dir_.Exists("c.lnk"));
}

TEST_F(FocusTest, TheOptionsDialogIsActiveAgainAfterItsSaveErrorBox) {
    // A volatile company key: no lasting settings key can be made below it,
    // so saving the options fails with a box and the dialog stays open.
    HKEY company = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\moravend", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &company, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(company);
    auto main = Start();
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == main->hwnd(); }));

    std::atomic<HWND> owner{nullptr}, activeAfter{nullptr}, dialog{nullptr};
    test::MessageBoxWatcher watcher(GetCurrentProcessId(),
                                    [&owner](HWND box) { owner = GetWindow(box, GW_OWNER); });
    // The dialog runs its own loop on this thread; another one clicks it.
    std::thread user([&] {
        // Shown, not only made: a form found before its buttons exist would
        // lose the click (posted to no window).
        HWND form = nullptr;
        for (int i = 0; i < 500 && !form; ++i, Sleep(20)) {
            form = test::FindWindowOf(GetCurrentProcessId(), L"TFrmOption");
        }
        dialog = form;
        if (!form) return;
        PostMessageW(GetDlgItem(form, TFrmOption::SpeedButton1), BM_CLICK, 0, 0);
        watcher.WaitFor(1);
        for (int i = 0; i < 150 && GetForegroundWindow() != form; ++i) Sleep(20);
        activeAfter = GetForegroundWindow();
        PostMessageW(GetDlgItem(form, TFrmOption::SpeedButton2), BM_CLICK, 0, 0);
    });
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdOpenOption, 0);  // returns once it closed
    user.join();
    ASSERT_NE(dialog.load(), nullptr);
    ASSERT_EQ(watcher.boxes().size(), 1u);
    EXPECT_EQ(owner.load(), dialog.load());
    EXPECT_EQ(activeAfter.load(), dialog.load()) << "active after the box: " << activeAfter.load();
}

}  // namespace
}  // namespace tsly

// Under the desktop the program's output goes nowhere: the results go to the
// file TSLY_RESULT names, the exit code on its last line.
int main(int argc, char** argv) {
    const char* result = std::getenv("TSLY_RESULT");
    if (result) {
        if (!std::freopen(result, "w", stdout)) return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int code = RUN_ALL_TESTS();
    std::printf("\nexit %d\n", code);
    std::fflush(stdout);
    return code;
}
