// The core's file-system interfaces on the Win32 UTF-16 file API. Paths of
// any length: a long one goes to the system in its "\\?\" form.
#pragma once

#include <string>

#include "core/cut_command.h"
#include "core/dir_open.h"
#include "core/folder_scan.h"
#include "core/long_path.h"

namespace tsly::win {

class Win32DirEnumerator final : public FallbackDirEnumerator {
public:
    std::optional<FolderId> Identity(const std::string& folder) override;

protected:
    ListingStart OpenIn(const std::string& pattern, ListingMode mode) override;
};

class Win32PathLookup final : public PathLookup {
public:
    std::string FullPath(const std::string& path) override;
    std::optional<std::string> LongName(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
};

// The form of a path that file calls take: "\\?\" (or "\\?\UNC\") before
// an absolute path, the path itself otherwise.
std::wstring FileCallPath(const std::string& path);

// The identity of the file or folder a path leads to, links followed.
std::optional<FileId> FileIdentity(const std::string& path);

// Renames a file; never replaces an existing one.
RenameResult RenameFile(const std::string& from, const std::string& to);

}  // namespace tsly::win
