// What makes a file or folder the same one whatever path reaches it: the
// volume it lies on and its index there.
#pragma once

#include <cstdint>

namespace tsly {

// Packed to 12 bytes (the index is 4-byte aligned): a cut keeps one per
// row in its plan and in its journal, a hundred thousand of each.
#pragma pack(push, 4)
struct FileId {
    std::uint32_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileId& other) const {
        return volume == other.volume && file == other.file;
    }
    bool operator!=(const FileId& other) const { return !(*this == other); }
    bool operator<(const FileId& other) const {
        return volume != other.volume ? volume < other.volume : file < other.file;
    }
};
#pragma pack(pop)
static_assert(sizeof(FileId) == 12);

}  // namespace tsly
