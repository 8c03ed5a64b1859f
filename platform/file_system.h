// The core's file-system interfaces on the Win32 UTF-16 file API. Paths of
// any length: a long one goes to the system in its "\\?\" form.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/cut_command.h"
#include "core/dir_open.h"
#include "core/folder_scan.h"
#include "core/long_path.h"
#include "core/plan_disk.h"

namespace tsly::win {

class Win32DirEnumerator final : public FallbackDirEnumerator {
public:
    std::optional<FolderId> Identity(const std::string& folder) override;

protected:
    ListingStart OpenIn(const std::string& pattern, ListingMode mode) override;
};

// For one batch of paths (a command line, a drop): a folder asked about
// often is listed whole, so that a thousand files of one folder cost
// one listing, while a single file costs a single lookup.
class Win32PathLookup final : public PathLookup {
public:
    // `listing`: how a folder is listed whole; Fast lists no short names,
    // as some volumes' listings do not (Wine's always do).
    explicit Win32PathLookup(ListingMode listing = ListingMode::Plain) : listing_(listing) {}
    std::string FullPath(const std::string& path) override;
    std::optional<std::string> LongName(const std::string& path) override;
    bool IsFolder(const std::string& path) override;

private:
    struct Entry {
        std::string name;  // the long name
        bool folder;
    };
    // The entry `path` names, from its folder's listing or a lookup of its own.
    const Entry* Find(const std::string& path);

    std::unordered_map<std::string, int> asked_;  // folder -> lookups in it
    // folder -> its entries by their long and short names in upper case;
    // a single lookup's entry is kept under its folder too.
    std::unordered_map<std::string, std::unordered_map<std::wstring, Entry>> listed_;
    std::unordered_map<std::string, bool> whole_;  // folder -> listed whole
    ListingMode listing_;
};

// The form of a path that file calls take: "\\?\" (or "\\?\UNC\") before
// an absolute path, the path itself otherwise.
std::wstring FileCallPath(const std::string& path);

// The identity of the file or folder a path leads to, links followed.
std::optional<FileId> FileIdentity(const std::string& path);

// The identities of many files, read a folder at a time: one listing of a
// folder tells every file's index, where opening each file would cost as
// much as renaming it. Meant for one pass over the files (a cut, an undo,
// the journal's search): a name the listing did not have is asked of the
// file itself. The volume is the one the path's root names, so identities
// from here are compared only with identities from here.
class FileIdentities {
public:
    std::optional<FileId> Of(const std::string& path);
    // Whether the listing of the path's folder has the name, when that
    // folder is the one listed last; nothing otherwise.
    std::optional<bool> Listed(const std::string& path) const;
    // As PlanDisk::MayHold.
    bool MayHold(const std::string& folder, const FileId& id);

private:
    void List(const std::string& folder);
    std::optional<std::uint32_t> RootVolume(const std::string& path);

    std::string folder_;  // the folder listed last, with its separator
    bool listed_ = false;  // and its listing was read
    std::uint32_t volume_ = 0;
    std::unordered_map<std::wstring, std::uint64_t> files_;   // name -> file index
    std::unordered_map<std::wstring, std::uint64_t> folded_;  // the same, names folded
    std::vector<std::uint32_t> buffer_;  // a listing's entries, 4-byte aligned
    std::unordered_map<std::string, std::optional<std::uint32_t>> roots_;
};

// The disk as a cut's plan reads it: identities and names a folder at a
// time, and entries keyed by their paths as the system folds them.
class DiskLook final : public PlanDisk {
public:
    std::optional<FileId> Identity(const std::string& path) override { return ids_.Of(path); }
    bool Exists(const std::string& path) override;
    std::uint64_t EntryKey(const std::string& path) override;
    bool MayHold(const std::string& folder, const FileId& id) override {
        return ids_.MayHold(folder, id);
    }

private:
    FileIdentities ids_;
};

// Renames a file; never replaces an existing one.
RenameResult RenameFile(const std::string& from, const std::string& to);

}  // namespace tsly::win
