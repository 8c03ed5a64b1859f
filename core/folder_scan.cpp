#include "core/folder_scan.h"

#include <cctype>

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

bool ScanLevel(const std::string& folder, DirEnumerator& dirs,
               const ScanCallbacks& callbacks, int depth) {
    std::unique_ptr<DirListing> listing = dirs.Open(folder + "*.*");
    if (!listing) return true;

    DirEntry entry;
    while (listing->Next(entry)) {
        if (entry.attributes & kAttrDirectory) {
            // Dot-folders ("." and "..", and hidden ones like ".git") are
            // skipped. A junction or folder link is not followed either: it
            // may lead back to an ancestor, and the scan must end.
            if (entry.name.empty() || entry.name[0] == '.') continue;
            if (entry.attributes & kAttrReparsePoint) continue;
            // A link the system does not mark as one still cannot make the
            // scan endless: no path the ANSI calls take is this deep.
            if (depth >= kMaxScanDepth) continue;
            if (callbacks.beforeSubfolder) callbacks.beforeSubfolder();
            if (callbacks.cancelled && callbacks.cancelled()) return false;
            if (!ScanLevel(folder + entry.name + "\\", dirs, callbacks, depth + 1)) {
                return false;
            }
        } else if (IsShortcutFileName(entry.name)) {
            callbacks.registerShortcut(folder + entry.name);
            if (callbacks.afterRegister) callbacks.afterRegister();
        }
    }
    return true;
}

}  // namespace

bool ScanFolder(const std::string& folder, DirEnumerator& dirs,
                const ScanCallbacks& callbacks) {
    return ScanLevel(folder, dirs, callbacks, 0);
}

}  // namespace tsly
