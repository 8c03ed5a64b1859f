// The core's file-system interfaces on the Win32 ANSI file API.
#pragma once

#include <string>

#include "core/folder_scan.h"
#include "core/long_path.h"

namespace tsly::win {

class Win32DirEnumerator final : public DirEnumerator {
public:
    std::unique_ptr<DirListing> Open(const std::string& pattern) override;
};

class Win32PathLookup final : public PathLookup {
public:
    std::string FullPath(const std::string& path) override;
    std::optional<std::string> LongName(const std::string& path) override;
    bool IsFolder(const std::string& path) override;
};

// Renames a file; never replaces an existing one.
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace tsly::win
