// The main window in this process, on real files, the real registry and a
// real list control.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "core/text_colour.h"
#include "app/main_commands.h"
#include "app/settings_removal.h"
#include "dialogs/setup_dialog.h"
#include "platform/application.h"
#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/undo_journal_file.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"

namespace tsly {
namespace {

using test::CleanRegistry;
using test::MessageBoxWatcher;
using test::U;
using test::W;
using test::TempDir;


// The shortcut files below a folder as a plain depth-first walk meets them.
std::vector<std::string> WalkDepthFirst(const std::string& folder) {
    std::vector<std::string> found;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(folder + "*.*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
        const std::string name = U(data.cFileName);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] == '.') continue;
            for (const std::string& below : WalkDepthFirst(folder + name + "\\")) found.push_back(below);
        } else if (name.size() >= 4 && lstrcmpiW(W(name.substr(name.size() - 4)).c_str(), L".lnk") == 0) {
            found.push_back(folder + name);
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return found;
}

void ExpectBounds(HWND hwnd, int left, int top, int width, int height) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

class MainWindowTest : public test::MainWindowFixture {
protected:
    // Closes the window as its close box does and waits until it is gone.
    void CloseWindow(TFrmMain& main) {
        SendMessageW(main.hwnd(), WM_CLOSE, 0, 0);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

    CleanRegistry registry_;
    TempDir dir_;
};

TEST_F(MainWindowTest, CommandLineRenamesByStoredOptionsAndStaysOpen) {
    test::WriteRegText(test::kOptionsKey, "Char", "(link)");
    test::WriteRegText(test::kOptionsKey, "Short1", "1");
    test::WriteRegText(test::kOptionsKey, "CutPrefixMarker", "1");
    const std::string a = dir_.Make("電卓へのショートカット.lnk", "a");
    const std::string b = dir_.Make("メモ.lnk", "b");
    const std::string c = dir_.Make("readme.txt", "c");
    const std::string d = dir_.Make("Shortcut to 表.lnk", "d");

    auto main = Start({a, b, c, d});
    EXPECT_TRUE(IsWindowVisible(main->hwnd()));
    EXPECT_EQ(main->StatusText(), "処理は終了しました。");
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"readme.txt", "メモ (link).lnk",
                                                     "表 (link).lnk", "電卓 (link).lnk"}));
    // The rows follow their files.
    EXPECT_EQ(Rows(*main), (std::vector<std::string>{dir_.path() + "電卓 (link).lnk",
                                                     dir_.path() + "メモ (link).lnk", c,
                                                     dir_.path() + "表 (link).lnk"}));
}

TEST_F(MainWindowTest, ShortAliasesAreListedInTheirLongForm) {
    const std::string folder = dir_.MakeFolder("長いフォルダの名前 folder");
    const std::string file = dir_.Make("長いフォルダの名前 folder\\a long shortcut name.lnk");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(W(file).c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(U(shortPath), file);

    wchar_t shortFolder[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(W(folder).c_str(), shortFolder, MAX_PATH), 0u);
    auto main = Start({U(shortPath), U(shortFolder)});
    EXPECT_EQ(Rows(*main), (std::vector<std::string>{file, folder}));
}

TEST_F(MainWindowTest, DuplicatePathIsRefusedWithTheMessage) {
    const std::string a = dir_.Make("a.lnk");
    MessageBoxWatcher watcher;
    std::wstring wide = W(a);
    CharUpperW(wide.data());
    const std::string upper = U(wide);
    auto main = Start({a, upper});
    ASSERT_EQ(watcher.boxes().size(), 1u);
    EXPECT_EQ(watcher.boxes()[0].caption, "Tessalyne");
    // The message names the path as it was listed: in its long form.
    EXPECT_EQ(watcher.boxes()[0].text, a + " は既に登録されてます。");
    EXPECT_EQ(Rows(*main), (std::vector<std::string>{a}));

    // Full-width letters fold too, as the list control folds them.
    main->RegisterShortcut("C:\\ｆｕｌｌ\\ａ.lnk");
    main->RegisterShortcut("C:\\ＦＵＬＬ\\Ａ.LNK");
    EXPECT_EQ(main->ListView_main().model().Count(), 2u);
    EXPECT_EQ(watcher.boxes().size(), 2u);
}

TEST_F(MainWindowTest, EscapeInADuplicateBoxEndsTheScan) {
    for (const char* name : {"a.lnk", "b.lnk", "c.lnk"}) dir_.Make(name);
    auto main = StartScanned(dir_.path());
    MessageBoxWatcher watcher(GetCurrentProcessId(), [](HWND box) {
        PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    main->ScanFolder(dir_.path());
    EXPECT_EQ(watcher.boxes().size(), 1u);

    // Dropped folders: the stop ends the drop, the next folder is left.
    TempDir other;
    other.Make("d.lnk");
    test::DropFiles(main->hwnd(), {dir_.path(), other.path()});
    EXPECT_EQ(watcher.boxes().size(), 2u);
    EXPECT_EQ(main->ListView_main().model().Count(), 3u);
}

TEST_F(MainWindowTest, ModelAgreesWithTheListControlsOwnSearch) {
    // A plain list control holding the same captions must find exactly the
    // texts that the model calls duplicates.
    const std::vector<std::string> listed = {
        "C:\\temp\\a.lnk", "C:\\ｆｕｌｌ\\ａ.lnk", "C:\\表\\ソ.lnk", "C:\\Ωmega\\б.lnk", "C:\\ｶﾅ\\x.lnk",
        "C:\\Café\\Pokémon.lnk", "C:\\😀\\한글.lnk"};
    const std::vector<std::string> probes = {
        "C:\\TEMP\\A.LNK", "c:\\ＦＵＬＬ\\Ａ.lnk", "C:\\表\\ソ.LNK", "c:\\ωMEGA\\Б.lnk",
        "C:\\ｶﾅ\\X.lnk",   "C:\\カナ\\x.lnk",      "C:\\temp\\a.lnk ", "C:\\ｆｕｌｌ\\a.lnk",
        "C:\\CAFÉ\\POKÉMON.LNK", "C:\\Cafe\\Pokemon.lnk", "C:\\😀\\한글.LNK", "C:\\😁\\한글.lnk"};
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    auto main = Start();
    for (std::size_t i = 0; i < listed.size(); ++i) {
        std::wstring text = W(listed[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        main->RegisterShortcut(listed[i]);
    }
    for (const std::string& probe : probes) {
        const std::wstring text = W(probe);
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = text.c_str();
        const bool controlFinds =
            SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(&find)) >= 0;
        EXPECT_EQ(main->ListView_main().model().Contains(probe), controlFinds) << probe;
    }
    DestroyWindow(list);
}

TEST_F(MainWindowTest, UntickedRowsAreNotRenamedAndAreDrawnStruckOut) {
    const std::string a = dir_.Make("aへのショートカット.lnk");
    const std::string b = dir_.Make("bへのショートカット.lnk");
    auto main = Start();
    main->RegisterShortcut(a);
    main->RegisterShortcut(b);

    // Untick the second row by clicking its check box, as the user does.
    HWND list = main->ListView_main().hwnd();
    RECT row{};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
    LVHITTESTINFO hit{};
    for (int x = row.left; x < row.left + 40 && !(hit.flags & LVHT_ONITEMSTATEICON); ++x) {
        hit.pt = POINT{x, (row.top + row.bottom) / 2};
        ListView_SubItemHitTest(list, &hit);
    }
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    // A click on the first row's text only selects it.
    RECT text{};
    text.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&text)));
    for (const LPARAM at : {MAKELPARAM(text.left + 4, text.top + 4), MAKELPARAM(hit.pt.x, hit.pt.y)}) {
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
    test::PumpUntil([&] { return !main->ListView_main().model().Checked(1); }, 2000);
    EXPECT_TRUE(main->ListView_main().model().Checked(0));
    EXPECT_FALSE(main->ListView_main().model().Checked(1));

    // The unticked row's text is silver, as dark as reads on the window
    // colour, and struck out: one line runs through nearly all of its span,
    // which no glyph stroke does.
    struct Silver { int pixels = 0, span = 0, longestRun = 0; };
    const COLORREF grey = UntickedTextOn(GetSysColor(COLOR_WINDOW));
    EXPECT_GE(ContrastRatio(grey, GetSysColor(COLOR_WINDOW)), kReadableContrast);
    auto silverOf = [&](int index) {
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        HDC dc = GetDC(list);
        Silver silver;
        int left = r.right, right = r.left;
        for (int y = r.top; y < r.bottom; ++y) {
            int run = 0;
            for (int x = r.left; x < r.right; ++x) {
                if (GetPixel(dc, x, y) != grey) {
                    run = 0;
                    continue;
                }
                ++silver.pixels;
                left = std::min(left, x);
                right = std::max(right, x);
                silver.longestRun = std::max(silver.longestRun, ++run);
            }
        }
        ReleaseDC(list, dc);
        silver.span = right - left + 1;
        return silver;
    };
    SetForegroundWindow(main->hwnd());
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const Silver unticked = silverOf(1);
    EXPECT_GT(unticked.pixels, 0);
    EXPECT_GT(unticked.span, 100);
    EXPECT_GE(unticked.longestRun * 10, unticked.span * 8)
        << unticked.longestRun << " of " << unticked.span;
    EXPECT_EQ(silverOf(0).pixels, 0);

    main->Action_cutshoutExecute();
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"a .lnk", "bへのショートカット.lnk"}));
}

TEST_F(MainWindowTest, FirstCloseStoresTheDefaultGeometry) {
    auto main = Start();
    ExpectBounds(main->hwnd(), 0, 0, 528, 327);
    // The list fills the 520 x 281 client area between the 26-pixel tool
    // bar strip and the 19-pixel status bar. Its columns fill its 516-pixel
    // inside less room for a 17-pixel scroll bar: "結果" takes its least,
    // 100, and the file column shows 399 of its 400.
    EXPECT_EQ(main->ListView_main().ColumnWidth(), 399);
    CloseWindow(*main);
    // What the user chose is stored, not what fitted.
    const std::pair<const char*, const char*> expected[] = {
        {"MainHeight", "327"}, {"MainLeft", "0"},       {"MainTop", "0"},
        {"MainWidth", "528"},  {"Column(0)", "236"},    {"Column(1)", "520"},
        {"Column(2)", "300"},  {"Column(3)", "400"},    {"ResultColumnWidth", "100"},
        {"MainMaximized", "0"}, {"MainDpi", "96"}};
    for (const auto& [name, value] : expected) {
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, name), value) << name;
    }
}

// A divider the user drags: the width is stored as dragged, wider than the
// list shows or not, and comes back so at the next start.
TEST_F(MainWindowTest, ADraggedColumnWidthIsStoredAsDragged) {
    for (const int dragged : {250, 700}) {
        {
            auto main = Start();
            ListView_SetColumnWidth(main->ListView_main().hwnd(), 0, dragged);
            SendMessageW(main->hwnd(), WM_SIZE, SIZE_RESTORED, 0);  // the fit comes after
            CloseWindow(*main);
        }
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "Column(3)"), std::to_string(dragged));
        auto main = Start();
        CloseWindow(*main);
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "Column(3)"), std::to_string(dragged));
    }
}

TEST_F(MainWindowTest, AnotherMonitorsDpiTakesTheSuggestedRectangleAndScalesTheParts) {
    auto main = Start();
    HWND list = main->ListView_main().hwnd();
    ListView_SetColumnWidth(list, 0, 250);
    RECT suggested{100, 50, 100 + 792, 50 + 490};
    SendMessageW(main->hwnd(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    ExpectBounds(main->hwnd(), 100, 50, 792, 490);
    EXPECT_EQ(main->Dpi(), 144u);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), 375);  // the user's width, scaled
    RECT r{};
    GetWindowRect(main->StatusBar1(), &r);
    EXPECT_EQ(r.bottom - r.top, 29);  // 28.5, rounded
    GetWindowRect(list, &r);
    MapWindowPoints(nullptr, main->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 39);
    const POINT at = main->DialogPosition();
    EXPECT_EQ(at.x, 100 + 38);
    EXPECT_EQ(at.y, 50 + 30);
}

TEST_F(MainWindowTest, StoredGeometryIsRestored) {
    const std::pair<const char*, const char*> stored[] = {
        {"MainHeight", "400"}, {"MainLeft", "30"}, {"MainTop", "40"},
        {"MainWidth", "600"},  {"Column(2)", "200"}, {"Column(3)", "250"},
        {"ResultColumnWidth", "90"}};
    for (const auto& [name, value] : stored) test::WriteRegText(test::kWindowKey, name, value);
    auto main = Start();
    ExpectBounds(main->hwnd(), 30, 40, 600, 400);
    EXPECT_EQ(main->ListView_main().ColumnWidth(), 250);
    // "結果" takes what the file column leaves of 592 - 4 - 17 pixels.
    EXPECT_EQ(main->ListView_main().ColumnWidth(1), 321);
    RECT panel{};
    SendMessageW(main->StatusBar1(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    EXPECT_EQ(panel.right - panel.left, 200);

    // Closed maximized, it keeps its normal place and opens maximized; the
    // system menu's Restore (Alt+Space, R: a queued command) gives it back.
    ShowWindow(main->hwnd(), SW_MAXIMIZE);
    CloseWindow(*main);
    main.reset();
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainMaximized"), "1");
    main = Start();
    EXPECT_TRUE(IsZoomed(main->hwnd()));
    PostMessageW(main->hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsZoomed(main->hwnd()); }, 3000));
    ExpectBounds(main->hwnd(), 30, 40, 600, 400);
}

// However the stored values place and size it, the window opens with its
// whole caption bar on the screen's work area and with room for the tool
// bar, the list and the status bar; a size that fits is kept.
TEST_F(MainWindowTest, AStoredGeometryOutOfReachOpensWithinReach) {
    struct Row {
        const char* what;
        std::vector<std::pair<const char*, const char*>> stored;
        bool sizeKept;  // 528 x 327, the default
    } const rows[] = {
        {"top above the screen", {{"MainTop", "-315"}}, true},
        {"left at the right edge", {{"MainLeft", "1020"}}, true},
        {"top below the screen", {{"MainTop", "2000"}}, true},
        {"off every screen", {{"MainLeft", "-32000"}, {"MainTop", "-32000"}}, true},
        {"no size", {{"MainWidth", "0"}, {"MainHeight", "0"}}, false},
        {"negative size", {{"MainWidth", "-50"}, {"MainHeight", "-8"}}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CleanRegistry clean;
        for (const auto& [name, value] : row.stored) test::WriteRegText(test::kWindowKey, name, value);
        auto main = Start();
        RECT r{};
        GetWindowRect(main->hwnd(), &r);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(main->hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        POINT client{0, 0};  // the caption bar and the menu end here
        ClientToScreen(main->hwnd(), &client);
        EXPECT_GE(r.left, work.left);
        EXPECT_GE(r.top, work.top);
        EXPECT_LE(r.right, work.right);
        EXPECT_LE(client.y, work.bottom);
        if (row.sizeKept) {
            EXPECT_EQ(r.right - r.left, 528);
            EXPECT_EQ(r.bottom - r.top, 327);
        }
        // The tool bar's last button, the list and the status bar show.
        EXPECT_TRUE(test::LastToolButtonShows(main->hwnd()));
        RECT list{}, status{};
        GetWindowRect(main->ListView_main().hwnd(), &list);
        GetWindowRect(main->StatusBar1(), &status);
        EXPECT_GT(list.bottom - list.top, 0);
        EXPECT_LE(status.bottom, r.bottom);
        // Neither column is narrower than its heading.
        HWND view = main->ListView_main().hwnd();
        EXPECT_GT(main->ListView_main().ColumnWidth(0), ListView_GetStringWidth(view, L"ショートカットの場所"));
        EXPECT_GT(main->ListView_main().ColumnWidth(1), ListView_GetStringWidth(view, L"結果"));
        CloseWindow(*main);
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainLeft"), std::to_string(r.left));
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainTop"), std::to_string(r.top));
    }
}

TEST_F(MainWindowTest, ColumnWidthBelowMinusTwoFallsBackToTheDesignedWidth) {
    test::WriteRegText(test::kWindowKey, "Column(3)", "-3");
    MessageBoxWatcher watcher;
    auto main = Start();
    EXPECT_EQ(main->ListView_main().ColumnWidth(), 399);  // 400, fitted to the window
    EXPECT_TRUE(watcher.boxes().empty());
}

// The uninstall the read-me tells: after the setup dialog's boxes are
// unticked and saved, レジストリ設定削除 leaves the registry as it was
// before the first start; until then the setup key stays with the choices.
TEST_F(MainWindowTest, DeleteSettingsLeavesNothingOfTheProgramAndTheCloseWritesNothing) {
    const auto registryText = [] {
        return test::ExportedText("Software\\moravend") + test::ExportedText(test::kNamingTemplatesKey) +
               (test::ReadRegRaw(test::kExplorerKey, "link").present ? "link" : "");
    };
    const std::string firstStart = registryText();
    test::WriteRegText(std::string(kSetupKey) + "Setup", "SendTo", "1");
    test::WriteRegText(std::string(kSetupKey) + "Setup", "DeskTop", "0");
    test::WriteRegText(std::string(kSetupKey) + "Setup", "StartUp", "1");
    const std::string setupKey = test::ExportedText("Software\\moravend\\Tessalyne");
    // Sections, and keys below them: a key with subkeys cannot be deleted
    // until they are.
    test::WriteRegText(test::kOptionsKey, "Char", "(link)");
    test::WriteRegText(test::kWindowKey, "MainLeft", "10");
    test::WriteRegText(std::string(test::kOptionsKey) + "\\Deeper\\Deepest", "x", "1");
    // Explorer's naming changed by the program, and an undo journal.
    win::CurrentUserValues registry;
    ASSERT_TRUE(StopShortcutMarker(registry).ok);
    // A journal of the last version and one set aside go too.
    const std::string journalFolder = win::UndoJournalFolder();
    SHCreateDirectoryExW(nullptr, test::W(journalFolder).c_str(), nullptr);
    for (const char* name : {"\\undo.log", "\\undo.log.bad"}) {
        CloseHandle(CreateFileW(test::W(journalFolder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    auto main = Start();
    const std::string question =
        "レジストリの設定（HKEY_CURRENT_USER\\Software\\moravend の Tessaly と Tessalyne）と、"
        "元に戻すための記録を削除します。よろしいですか？";
    const std::string staying =
        "\r\n「送る」メニュー、スタートアップのショートカットと、セットアップの設定は残ります。これらも削除するには、"
        "先にセットアップでチェックを外して「設定」を押してください。";
    {
        // The question comes first; Cancel keeps everything.
        MessageBoxWatcher watcher(GetCurrentProcessId(), [](HWND box) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
        });
        main->N3Click();
        ASSERT_EQ(watcher.Texts().size(), 1u);
        EXPECT_TRUE(test::RegKeyExists("Software\\moravend\\Tessalyne\\Explorer"));
        EXPECT_FALSE(main->SettingsDeleted());
    }
    {
        MessageBoxWatcher watcher;
        main->N3Click();
        main->N3Click();  // twice in a row: the message both times
        EXPECT_EQ(watcher.Texts(),
                  (std::vector<std::string>{
                      question + "\r\n新しいショートカットの名前の付け方も、エクスプローラの元の設定に戻します。" + staying,
                      "レジストリ設定を削除しました。\r\n新しいショートカットの名前の付け方を"
                      "エクスプローラの元の設定に戻しました。",
                      question + staying, "レジストリ設定を削除しました。"}));
    }
    // The shortcut chosen in the setup dialog is still known there.
    EXPECT_EQ(test::ExportedText("Software\\moravend"), "[HKEY_CURRENT_USER\\Software\\moravend]\n" + setupKey);
    EXPECT_EQ(GetFileAttributesW(test::W(journalFolder).c_str()), INVALID_FILE_ATTRIBUTES);
    {
        MessageBoxWatcher watcher;
        TFrmSetup setup(main->DialogPosition());
        for (int box : {TFrmSetup::CheckBox2, TFrmSetup::CheckBox3}) SendMessageW(setup.Control(box), BM_CLICK, 0, 0);
        setup.SpeedButton1Click();
        main->N3Click();
        EXPECT_EQ(watcher.Texts().back(), "レジストリ設定を削除しました。");
    }
    EXPECT_EQ(registryText(), firstStart);
    CloseWindow(*main);
    EXPECT_EQ(registryText(), firstStart);
}

TEST_F(MainWindowTest, WrongValueTypeStopsTheCutWithTheExactError) {
    const std::string a = dir_.Make("aへのショートカット.lnk");
    test::WriteRegDword(test::kOptionsKey, "Short1", 1);
    auto main = Start();
    main->RegisterShortcut(a);
    MessageBoxWatcher watcher;
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdCutShortcut, 0);
    ASSERT_EQ(watcher.boxes().size(), 1u);
    EXPECT_EQ(watcher.boxes()[0].caption, "Tessalyne");
    EXPECT_EQ(watcher.boxes()[0].text, "'Short1' のデータ型が不正です.");
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"aへのショートカット.lnk"}));
    EXPECT_NE(main->StatusText(), "処理は終了しました。");
}

// The status bar's right part tells the list as it is now, whatever came
// before: the counts, nothing once the rows are cleared, and why there is
// no preview when the options cannot be read.
TEST_F(MainWindowTest, TheStatusBarsRightPartNeverLags) {
    const std::string a = dir_.Make("aへのショートカット.lnk");
    struct Row {
        const char* what;
        bool unreadableOptions;
        bool cleared;
        const char* shows;
    } const rows[] = {
        {"a row to rename", false, false, "変更予定 1 件"},
        {"cleared", false, true, ""},
        {"options that cannot be read", true, false, "プレビューなし（オプションを読めません）"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CleanRegistry clean;
        if (row.unreadableOptions) test::WriteRegDword(test::kOptionsKey, "Short1", 1);
        auto main = Start();
        test::DropFiles(main->hwnd(), {a});
        EXPECT_TRUE(test::PumpUntil([&] { return !main->StatusText(1).empty(); }));
        if (row.cleared) main->N6Click();
        EXPECT_TRUE(test::PumpUntil([&] { return main->StatusText(1) == row.shows; }))
            << main->StatusText(1);
        CloseWindow(*main);
    }
}

TEST_F(MainWindowTest, WrongGeometryTypeIsReportedAndTheWindowStillShows) {
    test::WriteRegDword(test::kWindowKey, "MainLeft", 5);
    MessageBoxWatcher watcher;
    auto main = Start();
    ASSERT_EQ(watcher.boxes().size(), 1u);
    EXPECT_EQ(watcher.boxes()[0].text, "'MainLeft' のデータ型が不正です.");
    EXPECT_TRUE(IsWindowVisible(main->hwnd()));
}

TEST_F(MainWindowTest, ScanListsShortcutsDepthFirstAndCounts) {
    dir_.Make("a.lnk");
    dir_.Make("B.LNK");
    dir_.Make("c.Lnk.txt");
    dir_.Make("d");
    dir_.MakeFolder("sub");
    dir_.Make("sub\\e.lnk");
    dir_.MakeFolder(".cache");
    dir_.Make(".cache\\f.lnk");
    dir_.MakeFolder("sub\\deeper");
    dir_.Make("sub\\deeper\\g.lnk");
    dir_.Make("sub\\h.lnk");
    dir_.MakeFolder("0 first");
    dir_.Make("0 first\\i.lnk");
    dir_.Make("z.lnk");
    auto main = StartScanned(dir_.path());
    // In the order the system's enumeration gives, each folder's shortcuts
    // where the folder comes.
    const std::vector<std::string> walk = WalkDepthFirst(dir_.path());
    EXPECT_EQ(walk.size(), 7u);
    EXPECT_EQ(Rows(*main), walk);
    EXPECT_EQ(main->StatusText(), "7 個のファイルが見つかりました。");
    // The list took its rows out of sight of drawing and is in sight again.
    EXPECT_EQ(ListView_GetItemCount(main->ListView_main().hwnd()), 7);
    EXPECT_TRUE(IsWindowVisible(main->ListView_main().hwnd()));

    // A second scan refuses every file once and leaves the list as it was.
    MessageBoxWatcher watcher;
    main->ScanFolder(dir_.path());
    EXPECT_EQ(watcher.boxes().size(), 7u);
    EXPECT_EQ(main->ListView_main().model().Count(), 7u);
    main->N6Click();
    EXPECT_EQ(main->ListView_main().model().Count(), 0u);
    EXPECT_EQ(ListView_GetItemCount(main->ListView_main().hwnd()), 0);
    EXPECT_EQ(main->StatusText(), "7 個のファイルが見つかりました。");
}

}  // namespace
}  // namespace tsly

namespace tsly {
namespace {

// Waits on its own thread for a visible window of this process with the
// given class, records where it stands and whether its owner could take
// input meanwhile, and closes it.
class WindowCloser {
public:
    WindowCloser(const char* className, HWND owner)
        : className_(className), owner_(owner), thread_([this] { Run(); }) {}
    ~WindowCloser() { thread_.join(); }
    RECT rect() const { return rect_; }
    bool seen() const { return seen_; }
    bool ownerEnabled() const { return ownerEnabled_; }

private:
    void Run() {
        for (int i = 0; i < 500 && !seen_; ++i) {
            HWND hwnd = FindWindowW(W(className_).c_str(), nullptr);
            if (hwnd && IsWindowVisible(hwnd)) {
                GetWindowRect(hwnd, &rect_);
                ownerEnabled_ = IsWindowEnabled(owner_) != FALSE;
                seen_ = true;
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            Sleep(20);
        }
    }
    const char* className_;
    HWND owner_;
    bool ownerEnabled_ = true;
    RECT rect_{};
    std::atomic<bool> seen_{false};
    std::thread thread_;
};

TEST_F(MainWindowTest, DialogsOpenBesideTheMainWindowsCornerAndHoldItWhileOpen) {
    auto main = Start();
    SetWindowPos(main->hwnd(), nullptr, 140, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const std::pair<CommandId, const char*> dialogs[] = {
        {kCmdOpenOption, "TFrmOption"}, {kCmdSetup, "TFrmSetup"}, {kCmdAbout, "TAboutBox"},
        {kCmdHistory, "TFrmHistory"}};
    for (const auto& [command, className] : dialogs) {
        WindowCloser closer(className, main->hwnd());
        SendMessageW(main->hwnd(), WM_COMMAND, command, 0);  // returns once it closed
        ASSERT_TRUE(closer.seen()) << className;
        EXPECT_EQ(closer.rect().left, 165) << className;
        EXPECT_EQ(closer.rect().top, 110) << className;
        EXPECT_FALSE(closer.ownerEnabled()) << className;
        EXPECT_TRUE(IsWindowEnabled(main->hwnd())) << className;
    }
}

TEST_F(MainWindowTest, MinimizeHidesThroughTheApplicationWindowAndRestoreBringsItBack) {
    auto main = Start();
    HWND app = win::Application::Instance().Handle();
    SendMessageW(main->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    test::PumpUntil([&] { return IsIconic(app) != FALSE; }, 3000);
    EXPECT_TRUE(IsIconic(app));
    EXPECT_FALSE(IsWindowVisible(main->hwnd()));

    // A queued restore request, addressed to any window, goes through the
    // application's filter.
    PostMessageW(main->hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    test::PumpUntil([&] { return IsWindowVisible(main->hwnd()) != FALSE; }, 3000);
    EXPECT_FALSE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(main->hwnd()));
    EXPECT_FALSE(IsIconic(main->hwnd()));
    EXPECT_EQ(GetForegroundWindow(), main->hwnd());  // ready for the keyboard again
}

TEST_F(MainWindowTest, ClosingTheMinimizedProgramFromItsTaskBarButtonClosesTheWindow) {
    auto main = Start();
    HWND app = win::Application::Instance().Handle();
    SendMessageW(main->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    test::PumpUntil([&] { return IsIconic(app) != FALSE; }, 3000);
    PostMessageW(app, WM_SYSCOMMAND, SC_CLOSE, 0);  // the button's menu posts it
    EXPECT_TRUE(test::PumpUntil([&] { return main->hwnd() == nullptr; }, 3000));
    ShowWindow(app, SW_RESTORE);
}

}  // namespace
}  // namespace tsly

namespace tsly {
namespace {

TEST_F(MainWindowTest, EditingARowInPlaceChangesWhatTheCutAndTheDuplicateTestSee) {
    const std::string a = dir_.Make("aへのショートカット.lnk");
    const std::string b = dir_.Make("bへのショートカット.lnk");
    auto main = Start();
    main->RegisterShortcut(a);
    HWND list = main->ListView_main().hwnd();
    SetFocus(list);
    HWND edit = ListView_EditLabel(list, 0);
    ASSERT_TRUE(edit);
    SetWindowTextW(edit, W(b).c_str());
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    test::PumpUntil([&] { return main->ListView_main().model().Caption(0) == b; }, 2000);
    EXPECT_EQ(main->ListView_main().model().Caption(0), b);

    // The old path is free again; the new one is taken.
    MessageBoxWatcher watcher;
    main->RegisterShortcut(b);
    main->RegisterShortcut(a);
    EXPECT_EQ(watcher.boxes().size(), 1u);
    EXPECT_EQ(main->ListView_main().model().Count(), 2u);

    main->ListView_main().SetChecked(1, false);
    main->Action_cutshoutExecute();  // renames b, the edited row's file
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"aへのショートカット.lnk", "b .lnk"}));
}

}  // namespace
}  // namespace tsly

namespace tsly {
namespace {

TEST_F(MainWindowTest, MenuToolBarAndPopUpCommandsDoWhatTheySay) {
    struct Row {
        CommandId command;
        bool closes;  // and stores the geometry on its way out
        std::vector<std::string> boxes;
        std::size_t rowsAfter;
    };
    const Row rows[] = {
        {kCmdExit, true, {}, 1},
        {kCmdToolExit, true, {}, 1},
        // No help beside this program.
        {kCmdHelpTopics, false, {"ヘルプファイル（TSLY.hlp または tsly.html）がプログラムのフォルダにありません。"}, 1},
        {kCmdClearList, false, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        CleanRegistry clean;
        auto main = Start();
        const HWND hwnd = main->hwnd();
        main->RegisterShortcut(dir_.path() + "a.lnk");
        MessageBoxWatcher watcher;
        SendMessageW(hwnd, WM_COMMAND, row.command, 0);
        MSG msg;  // what the command posted, the close and its quit included
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        EXPECT_EQ(IsWindow(hwnd) == FALSE, row.closes);
        bool stored = false;
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainWidth", &stored), row.closes ? "528" : "");
        EXPECT_EQ(stored, row.closes);
        EXPECT_EQ(watcher.Texts(), row.boxes);
        EXPECT_EQ(main->ListView_main().model().Count(), row.rowsAfter);
    }
}

TEST_F(MainWindowTest, SpaceTogglesTheFocusedRowAndTypingFindsARow) {
    auto main = Start();
    for (const char* path : {"P:\\one.lnk", "Q:\\two.lnk", "R:\\three.lnk"}) main->RegisterShortcut(path);
    HWND list = main->ListView_main().hwnd();
    SetFocus(list);
    SendMessageW(list, WM_CHAR, L'q', 1);  // a repeat count of one, as typed
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
    // The list answers for the model, as to another program that asks it.
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(ListView_GetCheckState(list, 0));
    EXPECT_FALSE(ListView_GetCheckState(list, 1));
    EXPECT_TRUE(ListView_GetCheckState(list, 2));
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(ListView_GetCheckState(list, 1));
    // Space ticks or unticks every selected row with the focused one; the
    // pop-up menu's commands take every row.
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(ListView_GetCheckState(list, 0));
    EXPECT_TRUE(ListView_GetCheckState(list, 1));
    EXPECT_FALSE(ListView_GetCheckState(list, 2));
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdCheckAll, 0);
    EXPECT_TRUE(ListView_GetCheckState(list, 0) && ListView_GetCheckState(list, 2));
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUncheckAll, 0);
    EXPECT_FALSE(ListView_GetCheckState(list, 1));
}

// A row's tip tells the texts its columns cut off, whole, and nothing of
// a row that shows whole.
TEST_F(MainWindowTest, ATipShowsWhatTheColumnsCutOff) {
    auto main = Start();
    const std::string longPath = "P:\\" + std::string(200, 'x') + ".lnk";
    main->RegisterShortcut(longPath);
    main->RegisterShortcut("Q:\\a.lnk");
    const struct { int row; std::string tip; } cases[] = {{0, longPath}, {1, ""}};
    for (const auto& c : cases) {
        wchar_t text[1024] = {};
        NMLVGETINFOTIPW tip{};
        tip.hdr = NMHDR{main->ListView_main().hwnd(), 0, static_cast<UINT>(LVN_GETINFOTIPW)};
        tip.pszText = text;
        tip.cchTextMax = 1024;
        tip.iItem = c.row;
        SendMessageW(main->hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        EXPECT_EQ(test::U(text), c.tip) << c.row;
    }
}

TEST_F(MainWindowTest, ClosingTheWindowDuringAScanEndsTheScan) {
    for (int i = 0; i < 20; ++i) {
        const std::string folder = "d" + std::to_string(i);
        dir_.MakeFolder(folder);
        dir_.Make(folder + "\\s.lnk");
    }
    auto main = Start();
    const HWND hwnd = main->hwnd();
    PostMessageW(hwnd, WM_CLOSE, 0, 0);  // taken at the scan's first message turn
    main->ScanFolder(dir_.path());
    // The scan stops first; the close follows at the next turn of the loop.
    EXPECT_TRUE(test::PumpUntil([hwnd] { return !IsWindow(hwnd); }));
    EXPECT_LT(main->ListView_main().model().Count(), 20u);
    EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainWidth"), "528");
    MSG msg;  // the quit message, which would end the next test's boxes
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace
}  // namespace tsly
