#include "platform/file_system.h"

#include <string_view>
#include <vector>

#include "platform/handles.h"

namespace tsly::win {
namespace {

// A wildcard in a path makes a search name some other entry. A name with a
// character the code page cannot show comes back with "?" in its place: it
// reaches no file through the ANSI calls, and as a wildcard could reach
// another one.
bool HasWildcard(std::string_view path) {
    return path.find_first_of("?*") != std::string_view::npos;
}

class Win32DirListing final : public DirListing {
public:
    Win32DirListing(UniqueFind handle, const WIN32_FIND_DATAA& first)
        : handle_(std::move(handle)), data_(first), havePending_(true) {}

    bool Next(DirEntry& entry) override {
        do {
            if (!havePending_ && !FindNextFileA(handle_.get(), &data_)) return false;
            havePending_ = false;
        } while (HasWildcard(data_.cFileName));
        entry.name = data_.cFileName;
        entry.attributes = data_.dwFileAttributes;
        return true;
    }

private:
    UniqueFind handle_;
    WIN32_FIND_DATAA data_;
    bool havePending_;
};

}  // namespace

std::unique_ptr<DirListing> Win32DirEnumerator::Open(const std::string& pattern) {
    WIN32_FIND_DATAA data{};
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32DirListing>(UniqueFind(h), data);
}

std::string Win32PathLookup::FullPath(const std::string& path) {
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<char> buffer(needed + 1);
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()),
                                    buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::string(buffer.data(), length);
}

std::optional<std::string> Win32PathLookup::LongName(const std::string& path) {
    if (HasWildcard(path)) return std::nullopt;
    WIN32_FIND_DATAA data{};
    HANDLE h = FindFirstFileA(path.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(h);
    return std::string(data.cFileName);
}

bool Win32PathLookup::IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    // MoveFileA fails when the target exists: a rename never replaces a file.
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

}  // namespace tsly::win
