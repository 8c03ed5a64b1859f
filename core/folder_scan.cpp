#include "core/folder_scan.h"

#include <cctype>
#include <vector>

namespace tsly {

bool IsShortcutFileName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    static const char kExt[] = ".lnk";
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(name[dot + i]);
        if (std::tolower(c) != kExt[i]) return false;
    }
    return true;
}

namespace {

// A folder on the path from the scanned folder down to the current one. Its
// identity is asked for only when a link has to be checked against it: a
// plain folder cannot contain its own ancestor, so most scans never ask.
struct PathLevel {
    std::string folder;
    std::optional<FolderId> id;
    bool idKnown = false;
};

bool LeadsToAncestor(const std::string& link, std::vector<PathLevel>& path,
                     DirEnumerator& dirs) {
    const std::optional<FolderId> target = dirs.Identity(link);
    if (!target) return false;  // unknown: the depth guard still holds
    for (PathLevel& level : path) {
        if (!level.idKnown) {
            level.id = dirs.Identity(level.folder);
            level.idKnown = true;
        }
        if (level.id && *level.id == *target) return true;
    }
    return false;
}

bool ScanLevel(std::vector<PathLevel>& path, DirEnumerator& dirs,
               const ScanCallbacks& callbacks) {
    const std::string folder = path.back().folder;
    const int depth = static_cast<int>(path.size()) - 1;
    std::unique_ptr<DirListing> listing = dirs.Open(folder + "*.*");
    if (!listing) return true;

    DirEntry entry;
    while (listing->Next(entry)) {
        if (entry.attributes & kAttrDirectory) {
            // Dot-folders ("." and "..", and hidden ones like ".git") are
            // skipped.
            if (entry.name.empty() || entry.name[0] == '.') continue;
            std::string sub = folder + entry.name + "\\";
            // A link back to a folder on the current path would never end.
            if ((entry.attributes & kAttrReparsePoint) && LeadsToAncestor(sub, path, dirs)) {
                continue;
            }
            if (depth >= kMaxScanDepth) {
                if (callbacks.skippedTooDeep) callbacks.skippedTooDeep(sub);
                continue;
            }
            if (callbacks.beforeSubfolder) callbacks.beforeSubfolder();
            if (callbacks.cancelled && callbacks.cancelled()) return false;
            path.push_back(PathLevel{std::move(sub), std::nullopt, false});
            const bool goOn = ScanLevel(path, dirs, callbacks);
            path.pop_back();
            if (!goOn) return false;
        } else if (IsShortcutFileName(entry.name)) {
            callbacks.registerShortcut(folder + entry.name);
            if (callbacks.afterRegister) callbacks.afterRegister();
            // A flat folder of many files, or a run of duplicate boxes,
            // stops here as soon as it is asked to.
            if (callbacks.cancelled && callbacks.cancelled()) return false;
        }
    }
    return true;
}

}  // namespace

bool ScanFolder(const std::string& folder, DirEnumerator& dirs,
                const ScanCallbacks& callbacks) {
    std::vector<PathLevel> path{PathLevel{folder, std::nullopt, false}};
    return ScanLevel(path, dirs, callbacks);
}

}  // namespace tsly
