#include "platform/file_system.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "core/cut_rule.h"
#include "core/long_path.h"
#include "core/utf8.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace tsly::win {
namespace {

// A wildcard in a path makes a search name some other entry.
bool HasWildcard(std::string_view path) {
    return path.find_first_of("?*") != std::string_view::npos;
}

class Win32DirListing final : public DirListing {
public:
    Win32DirListing(UniqueFind handle, const WIN32_FIND_DATAW& first)
        : handle_(std::move(handle)), data_(first), havePending_(true) {}

    bool Next(DirEntry& entry) override {
        do {
            if (!havePending_ && !FindNextFileW(handle_.get(), &data_)) return false;
            havePending_ = false;
            // A name with a lone surrogate has no UTF-8 form: its stand-in
            // would reach no file, or another one.
        } while (!RoundTrips(data_.cFileName));
        // Into the caller's string: its buffer serves every entry.
        entry.name.clear();
        utf8::AppendUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(data_.cFileName)),
                         entry.name);
        entry.attributes = data_.dwFileAttributes;
        return true;
    }

private:
    UniqueFind handle_;
    WIN32_FIND_DATAW data_;
    bool havePending_;
};

HANDLE FindFirst(const std::wstring& path, WIN32_FIND_DATAW& data, ListingMode mode) {
    // Basic information skips the short names, and the larger buffer asks
    // for fewer trips to the file system. Windows before 7 knows neither
    // and refuses the call (ERROR_INVALID_PARAMETER).
    const bool fast = mode == ListingMode::Fast;
    return FindFirstFileExW(path.c_str(), fast ? FindExInfoBasic : FindExInfoStandard, &data,
                            FindExSearchNameMatch, nullptr, fast ? FIND_FIRST_EX_LARGE_FETCH : 0);
}

}  // namespace

std::wstring FileCallPath(const std::string& path) {
    // Every absolute path goes in the "\\?\" form, at any length: the plain
    // form drops a trailing dot or blank from each part, so that "dir." would
    // name "dir", and switches form at 248 characters. The scan and the
    // command line give full paths with no "." or ".." parts.
    std::wstring wide = ToWide(path);
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') return L"\\\\?\\" + wide;
    if (wide.rfind(L"\\\\", 0) == 0 && wide.rfind(L"\\\\?\\", 0) != 0) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

ListingStart Win32DirEnumerator::OpenIn(const std::string& pattern, ListingMode mode) {
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirst(FileCallPath(pattern), data, mode);
    if (h == INVALID_HANDLE_VALUE) {
        return {nullptr, mode == ListingMode::Fast && GetLastError() == ERROR_INVALID_PARAMETER};
    }
    return {std::make_unique<Win32DirListing>(UniqueFind(h), data), false};
}

std::optional<FolderId> Win32DirEnumerator::Identity(const std::string& folder) {
    return FileIdentity(folder);
}

std::optional<FileId> FileIdentity(const std::string& path) {
    // Opening follows every link on the way: the identity is the target's.
    HANDLE h = CreateFileW(FileCallPath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const UniqueHandle owner(h);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                    (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool DiskLook::Exists(const std::string& path) {
    // The folder the plan is in was listed for its identities a moment ago.
    if (const std::optional<bool> listed = ids_.Listed(path)) return *listed;
    return GetFileAttributesW(FileCallPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// A text folded as the file system compares names, hashed on from `hash`.
std::uint64_t FoldedHash(std::string_view text, std::uint64_t hash) {
    const char16_t* upper = SystemUpperTable();
    utf8::ForEachUtf16Unit(text, [&](char16_t unit) {
        const char16_t folded = upper[unit];
        hash = HashBytes(&folded, sizeof folded, hash);
    });
    return hash;
}

}  // namespace

std::uint64_t DiskLook::EntryKey(const std::string& path) {
    // The path as the system compares it. A folder's own identity would
    // also tell a folder reached through a link, but asking it costs a
    // trip to the mount manager per folder under Wine (a fifth more on a
    // cut); a file reached twice is told by its identity all the same.
    return FoldedHash(path, 14695981039346656037ull);
}

namespace {

// A name as the file system compares it.
std::wstring Folded(std::wstring name) {
    const char16_t* upper = SystemUpperTable();
    for (wchar_t& c : name) c = static_cast<wchar_t>(upper[static_cast<char16_t>(c)]);
    return name;
}

}  // namespace

std::optional<bool> FileIdentities::Listed(const std::string& path) const {
    const std::size_t cut = path.find_last_of('\\');
    if (!listed_ || cut == std::string::npos || path.compare(0, cut + 1, folder_) != 0) {
        return std::nullopt;
    }
    return folded_.count(Folded(ToWide(std::string_view(path).substr(cut + 1)))) != 0;
}

std::optional<FileId> FileIdentities::Of(const std::string& path) {
    const std::size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos) {
        if (path.compare(0, cut + 1, folder_) != 0) List(path.substr(0, cut + 1));
        const auto it = files_.find(ToWide(std::string_view(path).substr(cut + 1)));
        if (it != files_.end()) return FileId{volume_, it->second};
    }
    // A name the listing lacks is asked of the file itself.
    std::optional<FileId> id = FileIdentity(path);
    if (id) id->volume = RootVolume(path).value_or(id->volume);
    return id;
}

bool FileIdentities::MayHold(const std::string& folder, const FileId& id) {
    if (folder != folder_ || !listed_) List(folder);
    // A folder that could not be read whole may hold anything.
    if (!listed_) return true;
    return volume_ == id.volume &&
           std::any_of(files_.begin(), files_.end(), [&](const auto& f) { return f.second == id.file; });
}

std::optional<std::uint32_t> FileIdentities::RootVolume(const std::string& path) {
    // An identity taken here only ever meets one taken at the same path (the
    // undo's check, the journal's search at start-up), so the volume that
    // the path's root names tells files apart as well as the one the path
    // ends on, and it is asked for once per root instead of once per folder:
    // under Wine the question is a round trip to the mount manager and costs
    // more than listing a folder of a hundred files.
    const std::string root(PathRoot(path));
    if (root.empty()) return std::nullopt;
    auto it = roots_.find(root);
    if (it == roots_.end()) {
        DWORD serial = 0;
        const bool known = GetVolumeInformationW(ToWide(root).c_str(), nullptr, 0, &serial,
                                                 nullptr, nullptr, nullptr, 0);
        it = roots_.emplace(root, known ? std::optional<std::uint32_t>(serial) : std::nullopt).first;
    }
    return it->second;
}

void FileIdentities::List(const std::string& folder) {
    folder_ = folder;
    listed_ = false;
    files_.clear();
    folded_.clear();
    HANDLE h = CreateFileW(FileCallPath(folder).c_str(), FILE_LIST_DIRECTORY,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const UniqueHandle owner(h);
    if (const auto volume = RootVolume(folder)) {
        volume_ = *volume;
    } else {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(h, &info)) return;
        volume_ = info.dwVolumeSerialNumber;
    }
    // One buffer for every folder: the cut lists one folder after another.
    buffer_.resize(16384);
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
         GetFileInformationByHandleEx(h, kind, buffer_.data(),
                                      static_cast<DWORD>(buffer_.size() * sizeof(buffer_[0])));
         kind = FileIdBothDirectoryInfo) {
        const auto* bytes = reinterpret_cast<const BYTE*>(buffer_.data());
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
            std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            const auto index = static_cast<std::uint64_t>(entry->FileId.QuadPart);
            folded_.emplace(Folded(name), index);
            files_.emplace(std::move(name), index);
            if (entry->NextEntryOffset == 0) break;
            bytes += entry->NextEntryOffset;
        }
    }
    // Read to its end: a name it lacks is not in the folder.
    listed_ = GetLastError() == ERROR_NO_MORE_FILES;
}

std::string Win32PathLookup::FullPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed + 1);
    DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()),
                                    buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return FromWide(std::wstring_view(buffer.data(), length));
}

namespace {

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

const Win32PathLookup::Entry* Win32PathLookup::Find(const std::string& path) {
    if (HasWildcard(path)) return nullptr;
    const std::size_t split = path.find_last_of('\\');
    if (split == std::string::npos || split + 1 == path.size()) return nullptr;
    const std::string folder = path.substr(0, split + 1);
    const std::wstring key = Upper(ToWide(path.substr(split + 1)));
    auto& entries = listed_[folder];
    if (const auto it = entries.find(key); it != entries.end()) return &it->second;
    WIN32_FIND_DATAW data{};
    // A few files of a huge folder are cheaper looked up one by one; a
    // folder asked about often is listed whole, once. A name its listing
    // lacks is still looked up alone: a listing may leave out the short
    // names (Wine's does), which Send To may hand over.
    constexpr int kListedAfter = 8;
    bool& listed = whole_[folder];
    const bool whole = !listed && ++asked_[folder] >= kListedAfter;
    // Standard information: the short names are what a listing is asked for.
    HANDLE h = FindFirst(FileCallPath(whole ? folder + "*" : path), data,
                         whole ? listing_ : ListingMode::Plain);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    do {
        if (!RoundTrips(data.cFileName)) continue;
        const Entry entry{FromWide(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
        entries.emplace(Upper(data.cFileName), entry);
        if (data.cAlternateFileName[0]) entries.emplace(Upper(data.cAlternateFileName), entry);
        if (!whole) entries.emplace(key, entry);  // as asked: a long name matched by its alias
    } while (whole && FindNextFileW(h, &data));
    FindClose(h);
    listed = listed || whole;
    const auto it = entries.find(key);
    if (it != entries.end()) return &it->second;
    return whole ? Find(path) : nullptr;
}

std::optional<std::string> Win32PathLookup::LongName(const std::string& path) {
    const Entry* entry = Find(path);
    return entry ? std::optional<std::string>(entry->name) : std::nullopt;
}

bool Win32PathLookup::IsFolder(const std::string& path) {
    if (const Entry* entry = Find(path)) return entry->folder;
    const DWORD attributes = GetFileAttributesW(FileCallPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

namespace {

struct ErrorKind {
    DWORD error;
    RenameFailure failure;
};

constexpr ErrorKind kRenameErrors[] = {
    {ERROR_ALREADY_EXISTS, RenameFailure::NameTaken},
    {ERROR_FILE_EXISTS, RenameFailure::NameTaken},
    {ERROR_FILE_NOT_FOUND, RenameFailure::NotFound},
    {ERROR_PATH_NOT_FOUND, RenameFailure::NotFound},
    {ERROR_SHARING_VIOLATION, RenameFailure::InUse},
    {ERROR_LOCK_VIOLATION, RenameFailure::InUse},
    {ERROR_ACCESS_DENIED, RenameFailure::AccessDenied},
    {ERROR_INVALID_NAME, RenameFailure::BadCharacter},
    {ERROR_FILENAME_EXCED_RANGE, RenameFailure::TooLong},
};

RenameResult RenameFailureOf(DWORD error) {
    // A known error needs no code beside it (for BadCharacter the code
    // field is the character, which the system does not tell).
    for (const ErrorKind& kind : kRenameErrors) {
        if (kind.error == error) return {kind.failure, 0};
    }
    return {RenameFailure::Other, error};
}

}  // namespace

RenameResult RenameFile(const std::string& from, const std::string& to) {
    // The move MoveFileEx makes, through a handle on the entry itself (a
    // link is renamed, not what it leads to), without MoveFileEx's look
    // for the target first: with ReplaceIfExists false the system refuses
    // a name taken all the same, so a rename never replaces a file. Under
    // Wine this is a fifth cheaper than MoveFileW.
    HANDLE h = CreateFileW(FileCallPath(from).c_str(), DELETE | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return RenameFailureOf(GetLastError());
    const UniqueHandle file(h);
    const std::wstring target = FileCallPath(to);
    const std::size_t nameOffset = offsetof(FILE_RENAME_INFO, FileName);
    // In 8-byte units: aligned for the structure, zeros past the name.
    std::vector<std::uint64_t> buffer(
        (nameOffset + (target.size() + 1) * sizeof(wchar_t) + 7) / 8);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), info->FileName);
    if (SetFileInformationByHandle(h, FileRenameInfo, info,
                                   static_cast<DWORD>(buffer.size() * sizeof(buffer[0])))) {
        return {};
    }
    RenameResult result = RenameFailureOf(GetLastError());
    // The file is held open, so what was not found is the new name: a
    // volume that counts a name's bytes, not its UTF-16 units (a share on
    // another system, or Wine's own files), cannot take one of more than
    // 255, and says so in these words.
    if (result.failure == RenameFailure::NotFound) {
        const auto parts = SplitPath(to);
        if (parts && parts->name.size() > kMaxNameUnits) result = {RenameFailure::TooLong, 0};
    }
    return result;
}

}  // namespace tsly::win
