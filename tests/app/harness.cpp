#include "tests/app/harness.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "platform/text.h"
#include "platform/undo_journal_file.h"

namespace tsly::test {

std::vector<std::string> UndoJournalNames() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(win::UndoJournalFolder() + "\\undo*").c_str(), &data);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &data)) names.push_back(U(data.cFileName));
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveUndoJournals() {
    for (const std::string& name : UndoJournalNames()) {
        DeleteFileW(W(win::UndoJournalFolder() + "\\" + name).c_str());
    }
}

std::wstring W(const std::string& text) { return win::ToWide(text); }
std::string U(const std::wstring& text) { return win::FromWide(text); }

namespace {

// Through "\\?\" so that it reaches paths past 260 characters too.
std::wstring Long(const std::string& path) { return L"\\\\?\\" + W(path); }

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Long(folder + "*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = U(data.cFileName);
            if (name == "." || name == "..") continue;
            const std::string full = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesW(Long(full).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Long(full).c_str());
            }
        } while (FindNextFileW(h, &data));
        FindClose(h);
    }
    RemoveDirectoryW(Long(folder).c_str());
}

constexpr char kCompanyKey[] = "Software\\moravend";

void DeleteTree(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExW(root, W(path).c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        wchar_t name[256];
        for (;;) {
            DWORD length = 256;
            if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            DeleteTree(key, U(name));
        }
        RegCloseKey(key);
    }
    RegDeleteKeyW(root, W(path).c_str());
}

}  // namespace

TempDir::TempDir() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path_ = U(temp) + "tsly-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
    RemoveTree(path_);
    CreateDirectoryW(W(path_).c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::Make(const std::string& relative, const std::string& content) {
    const std::string full = path_ + relative;
    HANDLE h = CreateFileW(W(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
    }
    return full;
}

std::string TempDir::MakeFolder(const std::string& relative) {
    const std::string full = path_ + relative;
    CreateDirectoryW(W(full).c_str(), nullptr);
    return full + "\\";
}

bool TempDir::Exists(const std::string& relative) const {
    return GetFileAttributesW(W(path_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TempDir::Names(const std::string& relative) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(W(path_ + relative + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(U(data.cFileName));
    } while (FindNextFileW(h, &data));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

CleanRegistry::CleanRegistry() { DeleteTree(HKEY_CURRENT_USER, kCompanyKey); }
CleanRegistry::~CleanRegistry() { DeleteTree(HKEY_CURRENT_USER, kCompanyKey); }

std::string ReadRegText(const std::string& keyPath, const std::string& name, bool* found) {
    if (found) *found = false;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "";
    }
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc = RegQueryValueExW(key, W(name).c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return "";
    if (found) *found = true;
    return U(buffer);
}

static HKEY CreateKey(const std::string& keyPath) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    return key;
}

void WriteRegText(const std::string& keyPath, const std::string& name, const std::string& value) {
    HKEY key = CreateKey(keyPath);
    const std::wstring wide = W(value);
    RegSetValueExW(key, W(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void WriteRegDword(const std::string& keyPath, const std::string& name, DWORD value) {
    HKEY key = CreateKey(keyPath);
    RegSetValueExW(key, W(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
    RegCloseKey(key);
}

bool RegKeyExists(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

RawRegValue RegSz(const std::wstring& text, DWORD type) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return {true, type, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

RawRegValue ReadRegRaw(const std::string& keyPath, const std::string& name) {
    RawRegValue value;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key, W(name).c_str(), nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.present = RegQueryValueExW(key, W(name).c_str(), nullptr, &value.type,
                                         value.bytes.data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return value;
}

void WriteRegRaw(const std::string& keyPath, const std::string& name, const RawRegValue& value) {
    HKEY key = nullptr;
    if (value.present) {
        key = CreateKey(keyPath);
    } else if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_SET_VALUE, &key) !=
               ERROR_SUCCESS) {
        return;
    }
    if (value.present) {
        RegSetValueExW(key, W(name).c_str(), 0, value.type, value.bytes.data(),
                       static_cast<DWORD>(value.bytes.size()));
    } else {
        RegDeleteValueW(key, W(name).c_str());
    }
    RegCloseKey(key);
}

std::string ExportedText(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(keyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "";
    }
    std::string text = "[HKEY_CURRENT_USER\\" + keyPath + "]\n";
    std::vector<std::string> lines, below;
    wchar_t name[16384];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384, size = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        char hex[4];
        std::string line = "\"" + U(name) + "\"=hex(" + std::to_string(type) + "):";
        for (DWORD b = 0; b < size; ++b) {
            snprintf(hex, sizeof hex, b ? ",%02x" : "%02x", data[b]);
            line += hex;
        }
        lines.push_back(line + "\n");
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        below.push_back(keyPath + "\\" + U(name));
    }
    RegCloseKey(key);
    std::sort(lines.begin(), lines.end());
    std::sort(below.begin(), below.end());
    for (const std::string& line : lines) text += line;
    for (const std::string& path : below) text += ExportedText(path);
    return text;
}

MessageBoxWatcher::MessageBoxWatcher(DWORD processId, std::function<void(HWND)> onBox)
    : processId_(processId), onBox_(std::move(onBox)), thread_([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<MessageBoxWatcher::Box> MessageBoxWatcher::boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

std::vector<std::string> MessageBoxWatcher::Texts() {
    std::vector<std::string> texts;
    for (const Box& box : boxes()) texts.push_back(box.text);
    return texts;
}

bool MessageBoxWatcher::WaitFor(std::size_t n, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (answered_ >= n) return true;
        Sleep(20);
    }
    return answered_ >= n;
}

namespace {

struct Search {
    DWORD processId;
    const wchar_t* className;
    bool (*accept)(HWND);
    HWND found;
};

BOOL CALLBACK FindInProcess(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid == search->processId && IsWindowVisible(hwnd) &&
        lstrcmpW(cls, search->className) == 0 && (!search->accept || search->accept(hwnd))) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string TextOf(HWND hwnd) {
    wchar_t buffer[2048] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return U(buffer);
}

}  // namespace

HWND FindWindowOf(DWORD processId, const wchar_t* className, bool (*accept)(HWND)) {
    Search search{processId, className, accept, nullptr};
    EnumWindows(&FindInProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void MessageBoxWatcher::Watch() {
    while (!stop_) {
        const HWND found = FindWindowOf(processId_, L"#32770", &IsMessageBox);
        if (found) {
            // Counted before it is answered: the code that showed it may
            // look at the count as soon as it is gone.
            Box box{TextOf(found), TextOf(GetDlgItem(found, 0xFFFF))};
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(box);
            }
            if (onBox_) onBox_(found);
            PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(found, IDOK)));
            ++answered_;
            // Wait until it is gone so that it is not counted twice.
            for (int i = 0; i < 250 && IsWindow(found) && IsWindowVisible(found); ++i) {
                Sleep(20);
            }
        }
        Sleep(20);
    }
}

void DropFiles(HWND window, const std::vector<std::string>& paths, bool post) {
    std::wstring files;  // each path ended by a zero, the list by another
    for (const std::string& path : paths) files += W(path) + L'\0';
    files += L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(files.begin(), files.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(drop);
    if (post) PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    else SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

namespace {
RECT g_menu{};
void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR, DWORD) {
    // Runs in the menu's own loop too.
    if (HWND menu = FindWindowW(L"#32768", nullptr); menu && IsWindowVisible(menu)) {
        GetWindowRect(menu, &g_menu);
        EndMenu();
    }
}
}  // namespace

RECT PopupMenuShownBy(const std::function<void()>& open, DWORD timeoutMs) {
    g_menu = RECT{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &LookAtMenu);
    open();
    PumpUntil([] { return !IsRectEmpty(&g_menu); }, timeoutMs);
    KillTimer(nullptr, timer);
    return g_menu;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
    return true;
}

bool LastToolButtonShows(HWND main) {
    HWND tools = FindWindowExW(GetDlgItem(main, 4), nullptr, TOOLBARCLASSNAMEW, nullptr);
    RECT last{}, inside{};
    SendMessageW(tools, TB_GETITEMRECT, SendMessageW(tools, TB_BUTTONCOUNT, 0, 0) - 1,
                 reinterpret_cast<LPARAM>(&last));
    GetClientRect(main, &inside);
    return last.right <= inside.right;
}

std::wstring TabText(HWND tabs, int index) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

}  // namespace tsly::test
