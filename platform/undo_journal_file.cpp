#include "platform/undo_journal_file.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/file_system.h"
#include "platform/text.h"

namespace tsly::win {
namespace {

// Read, written and deleted by its holder alone; readable by anyone.
constexpr DWORD kHolderAccess = GENERIC_READ | GENERIC_WRITE | DELETE;

bool WriteAll(HANDLE h, const std::string& text) {
    DWORD written = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

JournalStamp StampOf(const SYSTEMTIME& t) {
    JournalStamp s;
    s.year = t.wYear, s.month = t.wMonth, s.day = t.wDay;
    s.hour = t.wHour, s.minute = t.wMinute, s.second = t.wSecond, s.millisecond = t.wMilliseconds;
    s.process = GetCurrentProcessId();
    return s;
}

// The text of an open file from its start, at most `limit` bytes.
std::string ReadFrom(HANDLE h, std::size_t limit = static_cast<std::size_t>(-1)) {
    std::string text;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    char buffer[65536];
    DWORD read = 0;
    while (text.size() < limit && ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    if (text.size() > limit) text.resize(limit);
    return text;
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace

std::string UndoJournalFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                folder))) {
        return std::string();
    }
    return FromWide(folder) + "\\moravend\\Tessalyne";
}

std::vector<std::string> ListJournals(const std::string& folder) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(FileCallPath(folder + "\\undo*.log").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(FromWide(data.cFileName));
    } while (FindNextFileW(h, &data));
    FindClose(h);
    names = JournalsNewestFirst(std::move(names));
    for (std::string& name : names) name = folder + "\\" + name;
    return names;
}

std::string ReadJournal(const std::string& path) {
    HANDLE h = CreateFileW(FileCallPath(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    const UniqueHandle owner(h);
    return ReadFrom(h);
}

std::unique_ptr<UndoJournalFile> UndoJournalFile::CreateNew(const std::string& folder,
                                                            const std::optional<JournalStamp>& at) {
    if (folder.empty()) return nullptr;
    SHCreateDirectoryExW(nullptr, ToWide(folder).c_str(), nullptr);
    JournalStamp stamp;
    if (at) {
        stamp = *at;
        stamp.process = GetCurrentProcessId();
    } else {
        SYSTEMTIME now;
        GetLocalTime(&now);
        stamp = StampOf(now);
    }
    // A name another journal has (one made in the same millisecond, or the
    // one this one replaces) takes the next number.
    for (int attempt = 0; attempt < 100; ++attempt, ++stamp.n) {
        const std::string path = folder + "\\" + JournalFileName(stamp);
        HANDLE h = CreateFileW(FileCallPath(path).c_str(), kHolderAccess, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            std::unique_ptr<UndoJournalFile> file(new UndoJournalFile(path, UniqueHandle(h), stamp));
            file->Append(JournalHeader(), false);
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return nullptr;
}

std::unique_ptr<UndoJournalFile> UndoJournalFile::Claim(const std::string& path, bool patient) {
    HANDLE h = INVALID_HANDLE_VALUE;
    // A window that looks whether there is something to undo holds each
    // journal for the time it takes to read its first line.
    for (int attempt = 0; attempt < (patient ? 5 : 1); ++attempt) {
        if (attempt) Sleep(5);
        h = CreateFileW(FileCallPath(path).c_str(), kHolderAccess, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
    }
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    JournalStamp stamp;
    if (auto named = ParseJournalFileName(NameOf(path))) {
        stamp = *named;
    } else {
        // The old journal has no time in its name: its last write is the
        // end of its cut.
        FILETIME written{}, local{};
        SYSTEMTIME t{};
        GetFileTime(h, nullptr, nullptr, &written);
        FileTimeToLocalFileTime(&written, &local);
        FileTimeToSystemTime(&local, &t);
        stamp = StampOf(t);
    }
    return std::unique_ptr<UndoJournalFile>(new UndoJournalFile(path, UniqueHandle(h), stamp));
}

void UndoJournalFile::Append(const std::string& text, bool flush) {
    if (!handle_) return;
    SetFilePointer(handle_.get(), 0, nullptr, FILE_END);
    WriteAll(handle_.get(), text);
    if (flush) FlushFileBuffers(handle_.get());
}

std::string UndoJournalFile::Read(std::size_t limit) {
    return handle_ ? ReadFrom(handle_.get(), limit) : std::string();
}

void UndoJournalFile::Delete() {
    if (!handle_) return;
    handle_.reset();
    DeleteFileW(FileCallPath(path_).c_str());
}

bool UndoJournalFile::SetAside() {
    if (!handle_) return false;
    handle_.reset();
    return MoveFileExW(FileCallPath(path_).c_str(), FileCallPath(path_ + ".bad").c_str(),
                       MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace tsly::win
