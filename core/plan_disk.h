// The disk as a cut's plan reads it: whether a path names a file, the
// file's identity, and which paths name the same entry of the same folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/file_id.h"

namespace tsly {

class PlanDisk {
public:
    virtual ~PlanDisk() = default;
    // The identity of the file at `path`, or nothing when there is none or
    // it cannot be told.
    virtual std::optional<FileId> Identity(const std::string& path) = 0;
    // Whether a file or folder has `path`.
    virtual bool Exists(const std::string& path) { return Identity(path).has_value(); }
    // Equal for two paths when they name one entry of one folder (as the
    // file system folds case); by default the path's bytes. A 64-bit hash:
    // the plan keeps one per renamed row, and two of a hundred thousand
    // meet once in 10^9 lists.
    virtual std::uint64_t EntryKey(const std::string& path);
    // Whether an entry of `folder` (with its separator) may be the file `id`
    // names: false only when the folder was read whole and none of its
    // entries is that file.
    virtual bool MayHold(const std::string& folder, const FileId& id) = 0;
};

// FNV-1a, 64 bits, over `bytes`, continuing from `hash`.
std::uint64_t HashBytes(const void* bytes, std::size_t size,
                        std::uint64_t hash = 14695981039346656037ull);

}  // namespace tsly
