#include "platform/undo_journal_file.h"

#include <windows.h>
#include <shlobj.h>

#include "core/undo_journal.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace tsly::win {
namespace {

// The journal helps an undo; a journal that cannot be written must not stop
// the cut, so its failures are not reported (the undo in memory still works).
void MakeFolderFor(const std::string& path) {
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    SHCreateDirectoryExW(nullptr, ToWide(folder).c_str(), nullptr);
}

bool WriteAll(HANDLE h, const std::string& text) {
    DWORD written = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

void UndoJournalFile::Begin(bool goOn) {
    if (path_.empty()) return;
    MakeFolderFor(path_);
    HANDLE h = CreateFileW(FileCallPath(path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           goOn ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    handle_.reset(h);
    if (goOn && GetFileSize(h, nullptr) != 0) {
        SetFilePointer(h, 0, nullptr, FILE_END);
    } else {
        renames = 0;
        WriteAll(h, JournalHeader());
    }
}

void UndoJournalFile::Append(const std::string& text, bool flush) {
    if (!handle_) return;
    WriteAll(handle_.get(), text);
    if (flush) FlushFileBuffers(handle_.get());
}

void UndoJournalFile::Replace(const std::string& text) {
    if (path_.empty()) return;
    MakeFolderFor(path_);
    const std::string next = path_ + ".new";
    HANDLE h = CreateFileW(FileCallPath(next).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    bool ok = WriteAll(h, text) && FlushFileBuffers(h);
    CloseHandle(h);
    ok = ok && MoveFileExW(FileCallPath(next).c_str(), FileCallPath(path_).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(FileCallPath(next).c_str());
}

void UndoJournalFile::Remove() {
    handle_.reset();
    if (!path_.empty()) DeleteFileW(FileCallPath(path_).c_str());
}

std::optional<std::string> UndoJournalFile::Read() const {
    if (path_.empty()) return std::nullopt;
    HANDLE h = CreateFileW(FileCallPath(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const UniqueHandle owner(h);
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

void UndoJournalFile::SetAside() {
    MoveFileExW(FileCallPath(path_).c_str(), FileCallPath(path_ + ".bad").c_str(),
                MOVEFILE_REPLACE_EXISTING);
}

}  // namespace tsly::win
