// Test helpers for the Windows tests: real files in a throwaway folder, a
// clean registry key, a watcher that answers the program's message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tsly::test {

// UTF-8 to UTF-16 and back, for the tests' own Win32 calls.
std::wstring W(const std::string& text);
std::string U(const std::wstring& text);

// A fresh folder under %TEMP%, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path with a trailing separator.
    const std::string& path() const { return path_; }
    std::string Make(const std::string& relative, const std::string& content = "x");
    std::string MakeFolder(const std::string& relative);
    bool Exists(const std::string& relative) const;
    // File names directly in a folder, sorted.
    std::vector<std::string> Names(const std::string& relative = "") const;

private:
    std::string path_;
};

// The sections the program keeps below HKEY_CURRENT_USER, spelled out
// (not taken from the program) so that a wrong key path in it shows.
inline constexpr char kWindowKey[] = "Software\\moravend\\Tessaly\\Window";
inline constexpr char kOptionsKey[] = "Software\\moravend\\Tessaly\\Settings";

// Removes the program's registry keys before and after a test.
class CleanRegistry {
public:
    CleanRegistry();
    ~CleanRegistry();
};

std::string ReadRegText(const std::string& keyPath, const std::string& name, bool* found = nullptr);
void WriteRegText(const std::string& keyPath, const std::string& name, const std::string& value);
void WriteRegDword(const std::string& keyPath, const std::string& name, DWORD value);
bool RegKeyExists(const std::string& keyPath);

// Explorer's naming values, spelled out like the keys above.
inline constexpr char kNamingTemplatesKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NamingTemplates";
inline constexpr char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// A value as the plain registry API gives it: absent, or type and bytes.
struct RawRegValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    bool operator==(const RawRegValue& o) const {
        return present == o.present && type == o.type && bytes == o.bytes;
    }
};
// REG_SZ data with its terminating zero.
RawRegValue RegSz(const std::wstring& text, DWORD type = REG_SZ);
RawRegValue ReadRegRaw(const std::string& keyPath, const std::string& name);
// Writes the value, or deletes it when it is absent (making no key then).
void WriteRegRaw(const std::string& keyPath, const std::string& name, const RawRegValue& value);
// A key and everything below it as an export writes it: "[path]", then a
// line per value ("name"=hex(type):bytes); nothing when the key is missing.
std::string ExportedText(const std::string& keyPath);

// Answers every message box of a process (this one by default) with OK and
// records its caption and text, until destroyed. `onBox`, when given, sees
// each box on the watcher's thread before it is answered.
class MessageBoxWatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
    };
    explicit MessageBoxWatcher(DWORD processId = GetCurrentProcessId(),
                               std::function<void(HWND)> onBox = {});
    ~MessageBoxWatcher();
    std::vector<Box> boxes();
    std::vector<std::string> Texts();
    // Waits until at least n boxes were answered (or the time is up).
    bool WaitFor(std::size_t n, DWORD timeoutMs = 10000);

private:
    void Watch();
    DWORD processId_;
    std::function<void(HWND)> onBox_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::atomic<std::size_t> answered_{0};  // boxes whose onBox ran and that were answered
    std::thread thread_;
};

// The first visible top-level window of a process with this class name that
// `accept` (when given) takes, or nullptr.
HWND FindWindowOf(DWORD processId, const wchar_t* className, bool (*accept)(HWND) = nullptr);

// A dialog whose static text has the id 0xFFFF: a message box.
inline bool IsMessageBox(HWND dialog) { return GetDlgItem(dialog, 0xFFFF) != nullptr; }

// Deletes the undo journals (and those set aside), so that a test starts
// as on a fresh machine.
void RemoveUndoJournals();
// The journals' file names, sorted.
std::vector<std::string> UndoJournalNames();

// Drops the paths on a window as the shell does (WM_DROPFILES, whose
// handle the window frees); posted, it comes at the window's next turn of
// its message loop.
void DropFiles(HWND window, const std::vector<std::string>& paths, bool post = false);

// The screen rectangle of the pop-up menu that `open` shows on this thread
// (empty when none shows within the time); the menu is closed again.
RECT PopupMenuShownBy(const std::function<void()>& open, DWORD timeoutMs = 5000);

// Lets this thread's windows run until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Whether the main window's tool bar shows its last button whole.
bool LastToolButtonShows(HWND main);

// The caption of a tab control's tab.
std::wstring TabText(HWND tabs, int index);

}  // namespace tsly::test
