// Bad input and faults around the cutting command, the scan, the command
// line, the settings store and the setup dialog. In every case nothing is
// lost or overwritten and nothing crashes; the user is told only where the
// program must say something.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "app/main_commands.h"
#include "app/settings_removal.h"
#include "platform/undo_journal_file.h"
#include "dialogs/options_dialog.h"
#include "dialogs/setup_dialog.h"
#include "core/explorer_naming.h"
#include "platform/application.h"
#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/tree_snapshot.h"

namespace tsly {
namespace {

using test::MessageBoxWatcher;
using test::U;
using test::W;
using test::TempDir;
using Tree = std::map<std::string, std::string>;
constexpr char kDone[] = "処理は終了しました。";
constexpr POINT kAt{40, 40};

std::vector<std::string> Contents(const Tree& tree) {
    std::vector<std::string> contents;
    for (const auto& [path, content] : tree) contents.push_back(content);
    std::sort(contents.begin(), contents.end());
    return contents;
}

// File names in a folder as the system holds them (UTF-16), sorted.
std::vector<std::wstring> WideNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}


// Runs a Linux command (Wine starts Unix programs too) on Unix paths.
std::string UnixPath(const std::string& path) {
    using Get = char*(CDECL*)(LPCWSTR);
    auto get = reinterpret_cast<Get>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!get) return "";
    char* unix = get(win::ToWide(path).c_str());
    if (!unix) return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    if (!result.empty() && result.back() == '/') result.pop_back();
    return result;
}
// Runs a Linux shell command line that ends by making (or removing) the
// file `marker`, and waits for that. Wine starts Unix programs without a
// process handle to wait on, and may leave a stray value in the thread
// handle: closing it would close some other handle of this process.
bool RunUnix(const std::string& script, const std::string& marker, bool markerAfter) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = W("Z:\\bin\\sh -c \"" + script + "\"");
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    if (process.hProcess) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return test::PumpUntil([&] {
        return (GetFileAttributesW(W(marker).c_str()) != INVALID_FILE_ATTRIBUTES) == markerAfter;
    });
}

class Faults : public test::MainWindowFixture {
protected:
    test::CleanRegistry registry_;
    TempDir dir_;
};

std::vector<std::string> Outcomes(TFrmMain& main) {
    std::vector<std::string> texts;
    const ShortcutListModel& model = main.ListView_main().model();
    for (std::size_t i = 0; i < model.Count(); ++i)
        texts.push_back(OutcomeText(model.Outcome(i), model.Caption(i)));
    return texts;
}

// Files change between listing and cutting. Every case is silent.
TEST_F(Faults, FilesThatChangeAfterListing) {
    struct Case {
        const char* what;
        std::function<void(TempDir&, std::vector<HANDLE>&)> change;
        std::vector<std::string> after;  // names in the folder
        const char* outcome;             // of the first row
    };
    const std::string missing = "失敗: ファイルが見つかりません";
    const std::string taken = "失敗: 同じ名前のファイルがあります";
    std::string longText;  // 252 bytes: a name of 258, 88 UTF-16 units
    for (int i = 0; i < 84; ++i) longText += "電";
    const Case cases[] = {
        {"deleted", [](TempDir& d, auto&) { DeleteFileW(W((d.path() + "aへのショートカット.lnk")).c_str()); },
         {"b .lnk"}, missing.c_str()},
        {"renamed away", [](TempDir& d, auto&) {
             MoveFileW(W((d.path() + "aへのショートカット.lnk")).c_str(), W((d.path() + "moved.lnk")).c_str());
         }, {"b .lnk", "moved.lnk"}, missing.c_str()},
        {"read-only", [](TempDir& d, auto&) {
             SetFileAttributesW(W((d.path() + "aへのショートカット.lnk")).c_str(), FILE_ATTRIBUTE_READONLY);
         }, {"a .lnk", "b .lnk"}, "a .lnk"},
        {"held open, no sharing of deletes", [](TempDir& d, auto& handles) {
             handles.push_back(CreateFileW(W((d.path() + "aへのショートカット.lnk")).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
         }, {"aへのショートカット.lnk", "b .lnk"}, "失敗: 他のプログラムが使用中です"},
        {"held open, sharing deletes", [](TempDir& d, auto& handles) {
             handles.push_back(CreateFileW(W((d.path() + "aへのショートカット.lnk")).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
         }, {"a .lnk", "b .lnk"}, "a .lnk"},
        {"target made meanwhile", [](TempDir& d, auto&) { d.Make("a .lnk", "other"); },
         {"a .lnk", "aへのショートカット.lnk", "b .lnk"}, taken.c_str()},
        {"target made as a folder", [](TempDir& d, auto&) { d.MakeFolder("a .lnk"); },
         {"aへのショートカット.lnk", "b .lnk"}, taken.c_str()},
        // Last: the option stays. Wine's files count a name's bytes.
        {"a name too long for the volume",
         [&longText](TempDir&, auto&) { test::WriteRegText(test::kOptionsKey, "Char", longText); },
         {"aへのショートカット.lnk", "bへのｼｮｰﾄｶｯﾄ.lnk"}, "失敗: 名前が長すぎます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Make("aへのショートカット.lnk", "a");
        dir.Make("bへのｼｮｰﾄｶｯﾄ.lnk", "b");
        auto main = Start();
        main->ScanFolder(dir.path());
        std::vector<HANDLE> handles;
        c.change(dir, handles);
        const Tree changed = test::Snapshot(dir.path());
        MessageBoxWatcher watcher;
        main->Action_cutshoutExecute();
        for (HANDLE h : handles) CloseHandle(h);
        EXPECT_EQ(dir.Names(), c.after);
        EXPECT_EQ(Outcomes(*main)[0], c.outcome);
        EXPECT_EQ(Contents(test::Snapshot(dir.path())), Contents(changed));
        EXPECT_TRUE(watcher.boxes().empty());
        EXPECT_EQ(main->StatusText(), kDone);
    }
}

// Files named exactly, as the system's plain calls cannot: "dir." beside
// "dir".
std::wstring Exact(const std::string& path) { return L"\\\\?\\" + W(path); }
bool ExistsExact(const std::string& path) {
    return GetFileAttributesW(Exact(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
void MakeExact(const std::string& path) {
    CloseHandle(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

// What the rows say is what the disk has: a folder is never taken for its
// namesake, a second cut finds its rows renamed already and leaves the undo
// of the first, and the undo puts back only the file it renamed.
TEST_F(Faults, RowsNameTheirFilesExactlyAndUndoTouchesOnlyThem) {
    const std::string root = dir_.path();
    dir_.MakeFolder("dir");
    ASSERT_TRUE(CreateDirectoryW(Exact(root + "dir.").c_str(), nullptr));
    dir_.Make("dir\\x - ショートカット.lnk");
    for (const char* name : {"dir.\\x - ショートカット.lnk", "dir.\\only - ショートカット.lnk",
                             "dir.\\y - ショートカット.lnk"})
        MakeExact(root + name);
    Start({root + "dir.\\x - ショートカット.lnk"}).reset();
    EXPECT_TRUE(ExistsExact(root + "dir.\\x .lnk"));
    EXPECT_TRUE(dir_.Exists("dir\\x - ショートカット.lnk"));

    auto main = Start();
    main->ScanFolder(root);
    EXPECT_EQ(Rows(*main), (std::vector<std::string>{
                               root + "dir\\x - ショートカット.lnk", root + "dir.\\only - ショートカット.lnk",
                               root + "dir.\\x .lnk", root + "dir.\\y - ショートカット.lnk"}));
    main->ListView_main().SetChecked(0, false);
    main->Action_cutshoutExecute();
    EXPECT_TRUE(dir_.Exists("dir\\x - ショートカット.lnk"));
    EXPECT_TRUE(ExistsExact(root + "dir.\\only .lnk"));
    main->Action_cutshoutExecute();
    EXPECT_EQ(Outcomes(*main), (std::vector<std::string>{"", "変更なし", "変更なし", "変更なし"}));
    EXPECT_EQ(main->StatusText(1), "変更 0 件・失敗 0 件");

    // Another file now has the new name of one row; the file that had it
    // lives on under another name: the undo leaves it, and keeps it.
    ASSERT_TRUE(MoveFileW(Exact(root + "dir.\\y .lnk").c_str(), Exact(root + "dir.\\moved.lnk").c_str()));
    MakeExact(root + "dir.\\y .lnk");
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    EXPECT_EQ(Outcomes(*main), (std::vector<std::string>{"", "元に戻しました", "変更なし",
                                                         "失敗: 後で名前が変わっています（後の処理を先に元に戻してください）"}));
    EXPECT_TRUE(ExistsExact(root + "dir.\\only - ショートカット.lnk"));
    EXPECT_TRUE(ExistsExact(root + "dir.\\y .lnk"));
    EXPECT_TRUE(ExistsExact(root + "dir.\\moved.lnk"));
    EXPECT_EQ(main->StatusText(1), "元に戻した 1 件・失敗 1 件");
    EXPECT_EQ(main->StatusText(), "一部のファイルを元に戻せませんでした（1 件は、もう一度「元に戻す」で再試行します）。");
}

// The undo outlives the window through its journal; a journal that cannot
// be read is told of once and set aside, never followed.
TEST_F(Faults, TheUndoOutlivesTheWindowAndABrokenJournalIsSetAside) {
    Start({dir_.Make("a - ショートカット.lnk"), dir_.Make("b - ショートカット.lnk")}).reset();
    EXPECT_TRUE(dir_.Exists("a .lnk"));
    // Another file took b's new name: it is not the one the journal names,
    // which has left the folder; its row is forgotten.
    ASSERT_TRUE(MoveFileW(W(dir_.path() + "b .lnk").c_str(), W(dir_.MakeFolder("moved") + "b .lnk").c_str()));
    dir_.Make("b .lnk", "other");
    auto main = Start();
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    EXPECT_EQ(Outcomes(*main), (std::vector<std::string>{"元に戻しました", "失敗: ファイルが見つかりません（元に戻す記録から外しました）"}));
    EXPECT_TRUE(dir_.Exists("a - ショートカット.lnk"));
    EXPECT_FALSE(main->CanUndo());
    main.reset();

    const std::wstring journal = W(win::UndoJournalFolder() + "\\undo.log");
    HANDLE h = CreateFileW(journal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(h, "Tessalyne undo journal 9\n", 25, nullptr, nullptr);  // not one this program reads
    CloseHandle(h);
    CloseHandle(CreateFileW((journal + L".bad").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    {
        // While another program holds the older one, nothing is set aside,
        // and nothing is claimed.
        HANDLE held = CreateFileW((journal + L".bad").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        MessageBoxWatcher quiet;
        Start().reset();
        EXPECT_TRUE(quiet.Texts().empty());
        CloseHandle(held);
    }
    {
        MessageBoxWatcher watcher;
        main = Start();
        ASSERT_EQ(watcher.Texts().size(), 1u);
        EXPECT_NE(watcher.Texts()[0].find("undo.log.bad"), std::string::npos);
    }
    // The older one set aside is replaced: the next start tells nothing.
    EXPECT_EQ(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(main->CanUndo());

    // A journal whose renames name no folder holds no line the program
    // writes: it is set aside, and told, not followed.
    main.reset();
    h = CreateFileW(journal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string noFolder = "Tessalyne undo journal 1\nR\t-\t-\tabc.lnk\t\t..\\x.lnk\nD\t0\t..\\x.lnk\n";
    WriteFile(h, noFolder.data(), static_cast<DWORD>(noFolder.size()), nullptr, nullptr);
    CloseHandle(h);
    main = Start();
    ASSERT_TRUE(main->CanUndo());
    MessageBoxWatcher told;
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    ASSERT_EQ(told.Texts().size(), 1u);
    EXPECT_NE(told.Texts()[0].find("undo.log.bad"), std::string::npos);
    EXPECT_FALSE(main->CanUndo());
    EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"a - ショートカット.lnk", "b .lnk"}));
    EXPECT_EQ(main->StatusText(), NothingToUndoText());
}

// The ten newest journals stay: of one window's cuts, and of windows closed.
TEST_F(Faults, TheTenNewestJournalsStay) {
    auto main = Start();
    for (std::size_t i = 0; i <= kJournalsKept; ++i) {
        const std::string folder = dir_.MakeFolder(std::to_string(i));
        dir_.Make(std::to_string(i) + "\\a - ショートカット.lnk");
        main->ScanFolder(folder);
        main->Action_cutshoutExecute();
        ASSERT_EQ(Outcomes(*main).back(), "a .lnk") << Rows(*main).back();
    }
    EXPECT_EQ(test::UndoJournalNames().size(), kJournalsKept);
    main.reset();
    Start({dir_.Make("b - ショートカット.lnk")}).reset();
    EXPECT_EQ(test::UndoJournalNames().size(), kJournalsKept);
}

// A journal line without a file's identity proves nothing: Ctrl+Z does not
// follow it to a file no cut renamed, and the journal stays for the history.
TEST_F(Faults, ALineWithoutProofIsNotFollowedByCtrlZ) {
    const std::string important = dir_.Make("important.txt", "mine");
    auto crafted = win::UndoJournalFile::CreateNew(win::UndoJournalFolder());
    ASSERT_TRUE(crafted);
    crafted->Append(JournalRenameLine({std::nullopt, dir_.path() + "x - ショートカット.lnk", "", important, false, ""}) +
                        JournalDoneLine(0, important), true);
    crafted.reset();
    MessageBoxWatcher none;
    auto main = Start();
    SendMessageW(main->hwnd(), WM_COMMAND, kCmdUndo, 0);
    EXPECT_EQ(none.Texts(), std::vector<std::string>{});
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"important.txt"});
    EXPECT_EQ(main->StatusText(), NothingToUndoText());
    EXPECT_EQ(test::UndoJournalNames().size(), 1u);
}

// Escape stops the cut that Send To starts, and the start-up does not run
// it again.
TEST_F(Faults, EscapeStopsTheStartUpCut) {
    constexpr int kFiles = 700;
    std::vector<std::string> parameters;
    for (int i = 0; i < kFiles; ++i) parameters.push_back(dir_.Make(std::to_string(i) + " - ショートカット.lnk"));
    const auto renamed = [&] {
        const std::vector<std::string> names = dir_.Names();
        return std::count_if(names.begin(), names.end(), [](const std::string& n) {
            return n.find("ショートカット") == std::string::npos;
        });
    };
    // Pressed in this test's window once the cut has renamed a file; the
    // cut takes it at its next turn, after 50 ms of renames.
    std::thread presser([&] {
        HWND main = nullptr;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(1)) {
            main = test::FindWindowOf(GetCurrentProcessId(), L"TFrmMain");
            if (main && renamed() > 0) break;
        }
        if (main) PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    auto main = Start(parameters);
    presser.join();
    EXPECT_EQ(main->StatusText(), "処理を中止しました。");
    EXPECT_GT(renamed(), 0);
    EXPECT_LT(renamed(), kFiles);
    EXPECT_EQ(main->StatusText(1), "変更 " + std::to_string(renamed()) + " 件・失敗 0 件");
}

TEST_F(Faults, ReadOnlyShortcutIsRenamedAndStaysReadOnly) {
    const std::string a = dir_.Make("aへのショートカット.lnk", "a");
    SetFileAttributesW(W(a).c_str(), FILE_ATTRIBUTE_READONLY);
    auto main = Start({a});
    const DWORD attributes = GetFileAttributesW(W((dir_.path() + "a .lnk")).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
}

// Command-line parameters that are no plain absolute shortcut path.
TEST_F(Faults, CommandLinePaths) {
    dir_.MakeFolder("表");
    dir_.MakeFolder("表\\ソ");
    dir_.MakeFolder("fへのショートカット.lnk");
    const std::string root = dir_.path();
    const std::string longName = root + std::string(250, 'L') + "へのショートカット.lnk";
    struct Case { std::string parameter; std::string row; };
    const Case cases[] = {
        {root + "nothereへのショートカット.lnk", root + "nothereへのショートカット.lnk"},
        {"relへのショートカット.lnk", root + "rel .lnk"},  // rows follow their files
        {"C:\\", "C:\\"},
        {"\\\\nosuchserver\\share\\xへのショートカット.lnk", "\\\\nosuchserver\\share\\xへのショートカット.lnk"},
        {root + "fへのショートカット.lnk", root + "fへのショートカット.lnk\\"},
        {root + "tへのショートカット.txt", root + "tへのショートカット.txt"},
        {root + "表\\ソ\\十へのショートカット.lnk", root + "表\\ソ\\十 .lnk"},
        {longName, longName},
    };
    dir_.Make("relへのショートカット.lnk", "rel");
    dir_.Make("tへのショートカット.txt", "t");
    dir_.Make("表\\ソ\\十へのショートカット.lnk", "ten");
    const Tree before = test::Snapshot(root);
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    SetCurrentDirectoryW(W(root).c_str());
    std::vector<std::string> parameters, rows;
    for (const Case& c : cases) {
        parameters.push_back(c.parameter);
        rows.push_back(c.row);
    }
    MessageBoxWatcher watcher;
    auto main = Start(parameters);
    SetCurrentDirectoryW(cwd);
    EXPECT_EQ(Rows(*main), rows);
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_EQ(main->StatusText(), kDone);
    const Tree after = test::Snapshot(root);
    EXPECT_EQ(Contents(after), Contents(before));
    EXPECT_EQ(after.count("rel .lnk"), 1u);
    EXPECT_EQ(after.count("表\\ソ\\十 .lnk"), 1u);
    EXPECT_EQ(after.count("tへのショートカット.txt"), 1u);
    EXPECT_TRUE(dir_.Exists("fへのショートカット.lnk"));  // the folder keeps its name
    EXPECT_FALSE(dir_.Exists("f .lnk"));
}

// Names outside code page 932 are listed and renamed like any other, and a
// look-alike name ("s" for "ṡ") is never taken for them.
TEST_F(Faults, NamesTheCodePageCannotShow) {
    const std::wstring folder = win::ToWide(dir_.path());
    const wchar_t* const made[] = {L"\x1E61へのショートカット.lnk", L"\xD83D\xDE00へのショートカット.lnk",
                                   L"\x1E61" L"a.lnk", L"\x1E6B" L"a.lnk", L"sへのショートカット.lnk"};
    for (const wchar_t* name : made) {
        CloseHandle(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                nullptr));
    }
    ASSERT_EQ(WideNames(folder).size(), 5u);

    MessageBoxWatcher watcher;
    auto main = StartScanned(dir_.path());
    const std::vector<std::string> listed = Rows(*main);
    std::vector<std::string> rows = listed;
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> expected;
    for (const wchar_t* name : made) expected.push_back(dir_.path() + win::FromWide(name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
    const auto plain = std::find(listed.begin(), listed.end(), dir_.path() + "sへのショートカット.lnk");
    main->ListView_main().SetChecked(static_cast<int>(plain - listed.begin()), false);
    main->Action_cutshoutExecute();
    EXPECT_TRUE(watcher.boxes().empty());
    std::vector<std::wstring> after = WideNames(folder);
    EXPECT_EQ(std::set<std::wstring>(after.begin(), after.end()),
              (std::set<std::wstring>{L"\x1E61 .lnk", L"\xD83D\xDE00 .lnk", L"\x1E61" L"a.lnk",
                                      L"\x1E6B" L"a.lnk", L"sへのショートカット.lnk"}));
}

// Paths beyond MAX_PATH are scanned and renamed like any other.
TEST_F(Faults, PathsLongerThanMaxPath) {
    std::string relative;
    while ((dir_.path() + relative).size() < 300) {
        relative += std::string(20, 'd') + "\\";
        CreateDirectoryW((L"\\\\?\\" + win::ToWide(dir_.path() + relative)).c_str(), nullptr);
        const std::string file = relative + "xへのショートカット.lnk";
        HANDLE h = CreateFileW((L"\\\\?\\" + win::ToWide(dir_.path() + file)).c_str(), GENERIC_WRITE, 0,
                               nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
        CloseHandle(h);
    }
    const std::string nearLimit = std::string(200 - dir_.path().size(), 'n') + "へのショートカット.lnk";
    dir_.Make(nearLimit, "n");
    test::WriteRegText(test::kOptionsKey, "Char", std::string(80, 'R'));

    const Tree before = test::Snapshot(dir_.path());
    auto main = StartScanned(dir_.path());  // ends, wherever the system stops it
    EXPECT_GE(main->ListView_main().model().Count(), 5u);
    MessageBoxWatcher watcher;
    main->Action_cutshoutExecute();
    EXPECT_TRUE(watcher.boxes().empty());
    EXPECT_EQ(main->StatusText(), kDone);
    // Every file is still there with its content, in its folder; the
    // shallow one got its new name.
    const Tree after = test::Snapshot(dir_.path());
    EXPECT_EQ(Contents(after), Contents(before));
    for (const auto& [path, content] : after) {
        bool same = false;
        for (const auto& [old, oldContent] : before)
            same = same || (oldContent == content && test::FolderOf(old) == test::FolderOf(path));
        EXPECT_TRUE(same) << path;
    }
    EXPECT_TRUE(dir_.Exists(std::string(20, 'd') + "\\x " + std::string(80, 'R') + ".lnk"));
    for (const auto& [path, content] : after)
        EXPECT_EQ(path.find("へのショートカット"), std::string::npos) << path;
}

// A Unix symlink back to an ancestor, made from Linux; Wine shows it as a
// folder link, and the scan must end.
TEST_F(Faults, FolderLinkBackToAnAncestorAndBrokenLink) {
    dir_.MakeFolder("sub");
    dir_.Make("sub\\aへのショートカット.lnk", "a");
    const std::string unix = UnixPath(dir_.path());
    ASSERT_FALSE(unix.empty());
    // A link elsewhere is followed like any folder.
    TempDir outside;
    outside.Make("bへのショートカット.lnk", "b");
    const std::string sub = "'" + unix + "/sub/";
    const std::string marker = dir_.path() + "linked";
    ASSERT_TRUE(RunUnix("ln -s '" + unix + "' " + sub + "loop' && ln -s /nonexistent/folder " +
                            sub + "broken' && ln -s '" + UnixPath(outside.path()) + "' " + sub +
                            "elsewhere' && touch '" + unix + "/linked'",
                        marker, true));
    DeleteFileW(W(marker).c_str());
    const DWORD attributes = GetFileAttributesW(W((dir_.path() + "sub\\loop")).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    MessageBoxWatcher watcher;
    auto main = StartScanned(dir_.path());
    std::vector<std::string> rows = Rows(*main);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{dir_.path() + "sub\\aへのショートカット.lnk",
                                              dir_.path() + "sub\\elsewhere\\bへのショートカット.lnk"}));
    EXPECT_TRUE(watcher.boxes().empty());
    dir_.Make("unlinked");
    RunUnix("rm -f " + sub + "loop' " + sub + "broken' " + sub + "elsewhere' '" + unix +
                "/unlinked'",
            dir_.path() + "unlinked", false);
}

TEST_F(Faults, VeryDeepTree) {
    std::string relative;
    std::size_t made = 0;
    while ((dir_.path() + relative + "d\\s.lnk").size() < MAX_PATH) {
        relative += "d\\";
        ASSERT_TRUE(CreateDirectoryW(W((dir_.path() + relative)).c_str(), nullptr));
        dir_.Make(relative + "s.lnk", std::to_string(made++));
    }
    auto main = StartScanned(dir_.path());
    EXPECT_EQ(main->ListView_main().model().Count(), made);
    EXPECT_GT(made, 60u);
}

// Registry values the store cannot use.
TEST_F(Faults, StoredOptionsOfTheWrongKindOrSize) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;  // bytes as stored
        const char* box;   // the error shown, or nullptr
        const char* after; // the file's name afterwards
    };
    const std::string big(100 * 1024, 'x');
    const Case cases[] = {
        {"Char", REG_DWORD, std::string("\1\0\0\0", 4), "'Char' のデータ型が不正です.", "aへのショートカット.lnk"},
        {"Short1", REG_BINARY, "1", "'Short1' のデータ型が不正です.", "aへのショートカット.lnk"},
        {"cutnameflg", REG_MULTI_SZ, std::string("1\0\0", 3), "'cutnameflg' のデータ型が不正です.",
         "aへのショートカット.lnk"},
        {"cutname", REG_QWORD, std::string(8, '\0'), "'cutname' のデータ型が不正です.",
         "aへのショートカット.lnk"},
        {"Char", REG_BINARY, "", nullptr, "a .lnk"},  // empty: the empty text
        {"Char", REG_SZ, std::string("\0", 1), nullptr, "a .lnk"},
        {"Char", REG_EXPAND_SZ, std::string("%TEMP%\0", 7), nullptr, "a %TEMP%.lnk"},
        {"Char", REG_SZ, big + '\0', nullptr, "aへのショートカット.lnk"},  // no such long name
        {"Short1", REG_SZ, std::string(100 * 1024, '1') + '\0', nullptr, "a.lnk"},  // out of range: off
        {"cutname", REG_SZ, big + '\0', nullptr, "a .lnk"},
        {"Char", REG_SZ, std::string("\\..\\..\\x\0", 9), nullptr, "aへのショートカット.lnk"},
        {"Char", REG_SZ, std::string("(link)\0junk", 11), nullptr, "a (link).lnk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " type " + std::to_string(c.type));
        test::CleanRegistry registry;
        TempDir dir;
        const std::string a = dir.Make("aへのショートカット.lnk", "a");
        if (c.name == std::string("Short1")) dir.Make("a.lnk", "plain");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(test::kOptionsKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        // Written through the ANSI call, as the older program stored them.
        RegSetValueExA(key, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.data.data()),
                       static_cast<DWORD>(c.data.size()));
        RegCloseKey(key);
        auto main = Start();
        main->RegisterShortcut(a);
        MessageBoxWatcher watcher;
        SendMessageW(main->hwnd(), WM_COMMAND, kCmdCutShortcut, 0);
        SendMessageW(main->hwnd(), WM_COMMAND, kCmdCutShortcut, 0);
        std::vector<std::string> texts;
        for (const auto& box : watcher.boxes()) texts.push_back(box.text);
        if (c.box) {
            EXPECT_EQ(texts, (std::vector<std::string>{c.box, c.box}));
        } else {
            EXPECT_TRUE(texts.empty());
            EXPECT_EQ(main->StatusText(), kDone);
        }
        EXPECT_TRUE(dir.Exists(c.after)) << c.after;
        const Tree after = test::Snapshot(dir.path());
        EXPECT_EQ(after.size(), c.name == std::string("Short1") ? 2u : 1u)
            << ::testing::PrintToString(after).substr(0, 400);
    }
}

// Makes "Software\moravend" a volatile key: no lasting key can be made below
// it, so the store can neither open nor create the settings key.
struct VolatileCompanyKey {
    VolatileCompanyKey() {
        HKEY key = nullptr;
        ok = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\moravend", 0, nullptr,
                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
    }
    bool ok = false;
};

// Denies writing to a key for its lifetime, its values staying readable;
// then gives it back exactly the security it had, however the test ends:
// the keys may be the user's own (Explorer's).
class DeniedWrites {
public:
    explicit DeniedWrites(const char* keyPath, DWORD denied = KEY_SET_VALUE | KEY_CREATE_SUB_KEY)
        : keyPath_(keyPath) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS) {
            saved_.clear();
            RegCloseKey(key);
            return;
        }
        EXPLICIT_ACCESSA deny{};
        deny.grfAccessPermissions = denied;
        deny.grfAccessMode = DENY_ACCESS;
        deny.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
        deny.Trustee.ptstrName = const_cast<char*>("EVERYONE");
        PACL old = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &old,
                        nullptr, &descriptor);
        PACL acl = nullptr;
        ok = SetEntriesInAclA(1, &deny, old, &acl) == ERROR_SUCCESS &&
             SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                             acl, nullptr) == ERROR_SUCCESS;
        LocalFree(acl);
        LocalFree(descriptor);
        RegCloseKey(key);
    }
    ~DeniedWrites() {
        HKEY key = nullptr;
        if (saved_.empty() ||
            RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath_).c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
            return;
        }
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
        RegCloseKey(key);
    }
    DeniedWrites(const DeniedWrites&) = delete;
    DeniedWrites& operator=(const DeniedWrites&) = delete;
    bool ok = false;

private:
    std::string keyPath_;
    std::vector<BYTE> saved_;
};

// A registry value put back as the test found it, however the test ends.
struct KeptValue {
    KeptValue(const char* key, const char* name) : key(key), name(name) {}
    ~KeptValue() { test::WriteRegRaw(key, name, before); }
    const char* key;
    const char* name;
    const test::RawRegValue before = test::ReadRegRaw(key, name);
};

// The key's security as the registry gives it.
std::vector<BYTE> SecurityOf(const char* keyPath) {
    HKEY key = nullptr;
    std::vector<BYTE> bytes;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) {
        return bytes;
    }
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    bytes.resize(size);
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, bytes.data(), &size);
    RegCloseKey(key);
    return bytes;
}

TEST_F(Faults, SettingsKeyThatCannotBeMade) {
    VolatileCompanyKey company;
    ASSERT_TRUE(company.ok);
    const std::string a = dir_.Make("aへのショートカット.lnk", "a");
    MessageBoxWatcher watcher;
    auto main = Start({a});  // reads give the defaults, silently
    EXPECT_TRUE(dir_.Exists("a .lnk"));
    EXPECT_TRUE(watcher.boxes().empty());
    {
        TFrmOption form(kAt);
        SendMessageW(form.Control(TFrmOption::SpeedButton1), BM_CLICK, 0, 0);  // cannot be kept
        EXPECT_FALSE(form.Closed());
    }
    SendMessageW(main->hwnd(), WM_CLOSE, 0, 0);  // the window still closes
    EXPECT_FALSE(IsWindow(main->hwnd()));
    MSG msg;  // take the quit message, which would end the next test's boxes
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    std::vector<std::string> texts;
    for (const auto& box : watcher.boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"キー Settings の作成に失敗しました.",
                                               "キー Window の作成に失敗しました."}));
}

TEST_F(Faults, SettingsKeyThatCannotBeWrittenStillGivesItsValues) {
    test::WriteRegText(test::kOptionsKey, "Char", "(link)");
    const DeniedWrites company("Software\\moravend\\Tessaly"), options(test::kOptionsKey);
    ASSERT_TRUE(company.ok && options.ok);
    const std::string a = dir_.Make("aへのショートカット.lnk", "a");
    MessageBoxWatcher watcher;
    auto main = Start({a});
    EXPECT_TRUE(dir_.Exists("a (link).lnk"));  // the stored option, not the default
    {
        TFrmOption form(kAt);
        SendMessageW(form.Control(TFrmOption::SpeedButton1), BM_CLICK, 0, 0);
    }
    std::vector<std::string> texts;
    for (const auto& box : watcher.boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"キー Settings の作成に失敗しました."}));
}

// The setup dialog claims success only when the file is there, and names
// the folder where it could not make one. A file stands where the Send To
// folder was, so the folder cannot come back. (A shortcut that cannot be
// saved because a folder is in its way is shown in the dialogs' own tests.)
TEST_F(Faults, SetupDialogWhenTheSendToFolderIsMissingAndCannotBeMade) {
    const std::string sendTo = TFrmSetup::ShortcutPath(CSIDL_SENDTO, "Tessalyne");
    const std::string startup = TFrmSetup::ShortcutPath(CSIDL_STARTUP, "Tessalyne");
    ASSERT_FALSE(sendTo.empty());
    ASSERT_FALSE(startup.empty());
    const std::string sendToFolder = sendTo.substr(0, sendTo.size() - strlen("\\Tessalyne.lnk"));
    DeleteFileW(W(sendTo).c_str());
    DeleteFileW(W(startup).c_str());
    // The Send To folder is gone.
    const std::string kept = sendToFolder + ".kept";
    ASSERT_TRUE(MoveFileW(W(sendToFolder).c_str(), W(kept).c_str()));
    CloseHandle(CreateFileW(W(sendToFolder).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    MessageBoxWatcher watcher;
    {
        TFrmSetup form(kAt);
        form.SetChecked(TFrmSetup::CheckBox2, true);
        form.SetChecked(TFrmSetup::CheckBox3, true);
        form.SpeedButton1Click();
    }
    const bool sendToMade = GetFileAttributesW(W(sendTo).c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool startupMade = GetFileAttributesW(W(startup).c_str()) != INVALID_FILE_ATTRIBUTES;
    DeleteFileW(W(startup).c_str());
    DeleteFileW(W(sendToFolder).c_str());
    MoveFileW(W(kept).c_str(), W(sendToFolder).c_str());

    EXPECT_FALSE(sendToMade);
    EXPECT_TRUE(startupMade);
    EXPECT_EQ(watcher.Texts(), (std::vector<std::string>{"「送る」メニューにショートカットを作成できませんでした。"}));
}

// A section whose subkeys may not be listed cannot be emptied, so neither it
// nor the settings key can go; Explorer's naming cannot be put back, so the
// setup key keeps its only copy. The command says so instead of claiming the
// deletion, and still keeps the close from writing.
TEST_F(Faults, DeleteSettingsThatCannotBeDeleted) {
    test::WriteRegText(std::string(test::kOptionsKey) + "\\Below", "x", "1");
    const KeptValue link(test::kExplorerKey, "link"), name(test::kNamingTemplatesKey, "ShortcutNameTemplate");
    win::CurrentUserValues registry;
    ASSERT_TRUE(StopShortcutMarker(registry).ok);
    const DeniedWrites options(test::kOptionsKey, KEY_ENUMERATE_SUB_KEYS), naming(test::kNamingTemplatesKey);
    ASSERT_TRUE(options.ok && naming.ok);
    auto main = Start();
    MessageBoxWatcher watcher;
    main->N3Click();
    const bool keyLeft = test::RegKeyExists("Software\\moravend\\Tessaly");
    const auto texts = watcher.Texts();
    SendMessageW(main->hwnd(), WM_CLOSE, 0, 0);
    MSG msg;  // take the quit message, which would end the next test's boxes
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const bool windowWritten = test::RegKeyExists(test::kWindowKey);
    EXPECT_TRUE(keyLeft);
    EXPECT_TRUE(test::RegKeyExists("Software\\moravend\\Tessalyne\\Explorer"));
    ASSERT_EQ(texts.size(), 3u);  // the question, Explorer's naming, the answer
    EXPECT_EQ(texts[2], "レジストリ設定を削除できませんでした。");
    EXPECT_FALSE(windowWritten);
}

// Explorer's name template may not be written: the box names it, nothing
// is stored, and the dialog stays open. (That every failure undoes what came
// before it is the core's table.)
TEST_F(Faults, NoMarkerThatCannotBeWrittenLeavesNothingHalfDone) {
    const std::string name = "ShortcutNameTemplate";
    const KeptValue kept(test::kNamingTemplatesKey, "ShortcutNameTemplate");
    test::WriteRegText(test::kNamingTemplatesKey, name, "%s (link).lnk");
    const std::vector<BYTE> security = SecurityOf(test::kNamingTemplatesKey);
    MessageBoxWatcher watcher;
    bool closed = true;
    {
        const DeniedWrites denied(test::kNamingTemplatesKey);
        ASSERT_TRUE(denied.ok);
        TFrmSetup form(kAt);
        form.SetChecked(TFrmSetup::CheckBox4, true);
        form.SpeedButton1Click();
        closed = form.Closed();
    }
    EXPECT_FALSE(closed);
    EXPECT_EQ(watcher.Texts(), (std::vector<std::string>{
        "'HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
        "NamingTemplates\\ShortcutNameTemplate' の設定に失敗しました."}));
    EXPECT_EQ(test::ReadRegText(test::kNamingTemplatesKey, name), "%s (link).lnk");
    EXPECT_FALSE(test::RegKeyExists("Software\\moravend\\Tessalyne\\Setup"));
    EXPECT_FALSE(test::RegKeyExists("Software\\moravend\\Tessalyne\\Explorer"));
    EXPECT_EQ(SecurityOf(test::kNamingTemplatesKey), security);  // as the test found it
}

}  // namespace
}  // namespace tsly
