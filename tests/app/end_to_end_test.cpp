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

namespace tsly {
namespace {

using test::CleanRegistry;
using test::MessageBoxWatcher;
using test::U;
using test::W;
using test::TempDir;


std::string ProgramPath() {
    std::string path = TSLY_EXE;  // where the build put it, as a Unix path
    if (!path.empty() && path[0] == '/') {
        for (char& c : path) c = c == '/' ? '\\' : c;
        path = "Z:" + path;
    }
    return path;
}

// The program's main window, once it is visible.
HWND VisibleMainWindow(DWORD pid) { return test::FindWindowOf(pid, L"TFrmMain"); }

class RunningProgram {
public:
    explicit RunningProgram(const std::vector<std::string>& parameters) {
        std::wstring commandLine = W("\"" + ProgramPath() + "\"");
        for (const auto& p : parameters) commandLine += W(" \"" + p + "\"");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &process_);
    }
    // Starts it with a UTF-16 command line, as the shell does.
    explicit RunningProgram(const std::wstring& parameters) {
        std::wstring commandLine = L"\"" + W(ProgramPath()) + L"\" " + parameters;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &process_);
    }
    ~RunningProgram() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }
    DWORD pid() const { return process_.dwProcessId; }

    HWND WaitForMainWindow(DWORD timeoutMs = 20000) {
        const DWORD start = GetTickCount();
        HWND found = VisibleMainWindow(pid());
        while (!found && GetTickCount() - start < timeoutMs) {
            Sleep(50);
            found = VisibleMainWindow(pid());
        }
        return found;
    }
    // As a crash or a power cut would end it.
    void Kill() {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    bool WaitForExit(DWORD timeoutMs = 20000) {
        return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

std::string StatusText(HWND main) {
    HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[256] = {};
    SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return U(text);
}

int RowCount(HWND main) {
    HWND list = FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool WaitForText(HWND main, const std::string& expected) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
        if (StatusText(main).rfind(expected, 0) == 0) return true;
        Sleep(50);
    }
    return false;
}

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

// Killed in the middle of a cut, started again: Ctrl+Z puts back every name
// the cut had changed, from the journal it kept on disk, and nothing else.
TEST(EndToEnd, AnUndoSurvivesAKillInTheMiddleOfACut) {
    CleanRegistry registry;
    const std::string folder = "C:\\tj\\";  // short: a thousand paths must fit one command line
    CreateDirectoryW(W(folder).c_str(), nullptr);
    std::vector<std::string> names, parameters;
    for (int i = 0; i < 1000; ++i) {
        names.push_back(std::to_string(i) + " - ショートカット.lnk");
        parameters.push_back(folder + names.back());
        CloseHandle(CreateFileW(W(parameters.back()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
    CloseHandle(CreateFileW(W(folder + "7 .lnk").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const auto listed = [&] {
        std::set<std::string> found;
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(W(folder + "*.lnk").c_str(), &data);
        for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &data)) found.insert(U(data.cFileName));
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
        return found;
    };
    std::set<std::string> before(names.begin(), names.end());
    before.insert("7 .lnk");  // takes row 7's new name: its rename fails
    {
        RunningProgram cut(parameters);
        ASSERT_TRUE(cut.started());
        const auto renamed = [&] {
            const std::set<std::string> now = listed();
            return std::count_if(now.begin(), now.end(), [](const std::string& n) {
                       return n.find("ショートカット") == std::string::npos;
                   }) - 1;
        };
        ASSERT_TRUE(test::PumpUntil([&] { return renamed() >= 100; }, 30000));
        cut.Kill();
        const auto atKill = renamed();
        ASSERT_LT(atKill, 999) << "the cut was through before it could be stopped";
    }
    RunningProgram again(std::vector<std::string>{});
    const HWND main = again.WaitForMainWindow();
    ASSERT_TRUE(main);
    PostMessageW(main, WM_COMMAND, kCmdUndo, 0);
    EXPECT_TRUE(WaitForText(main, "前回の実行（"));
    EXPECT_EQ(listed(), before);
    PostMessageW(main, WM_CLOSE, 0, 0);
    again.WaitForExit();
    for (const std::string& name : before) DeleteFileW(W(folder + name).c_str());
    RemoveDirectoryW(W(folder).c_str());
}

}  // namespace
}  // namespace tsly
