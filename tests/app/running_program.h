// The real tsly.exe in a process of its own, started as the Send To menu
// starts it and driven from outside through its windows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/app/harness.h"

namespace tsly::test {

inline std::string ProgramPath() {
    std::string path = TSLY_EXE;  // where the build put it, as a Unix path
    if (!path.empty() && path[0] == '/') {
        for (char& c : path) c = c == '/' ? '\\' : c;
        path = "Z:" + path;
    }
    return path;
}

// The program's main window, once it is visible.
inline HWND VisibleMainWindow(DWORD pid) { return test::FindWindowOf(pid, L"TFrmMain"); }

class RunningProgram {
public:
    explicit RunningProgram(const std::vector<std::string>& parameters)
        : RunningProgram(Quoted(parameters)) {}
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
    static std::wstring Quoted(const std::vector<std::string>& parameters) {
        std::wstring line;
        for (const auto& p : parameters) line += W((line.empty() ? "\"" : " \"") + p + "\"");
        return line;
    }
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

inline std::string StatusText(HWND main) {
    HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[256] = {};
    SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return U(text);
}

inline int RowCount(HWND main) {
    HWND list = FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// Waits until the status bar's text begins with `expected`.
inline bool WaitForText(HWND main, const std::string& expected) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
        if (StatusText(main).rfind(expected, 0) == 0) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace tsly::test
