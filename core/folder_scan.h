// The recursive search of a folder tree for shortcut files, over a
// directory-enumeration interface so that it runs without a file system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/file_id.h"

namespace tsly {

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
};

inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;

class DirListing {
public:
    virtual ~DirListing() = default;
    // The next entry in enumeration order; false at the end or first error.
    virtual bool Next(DirEntry& entry) = 0;
};

// The identity of the folder a path leads to, links followed.
using FolderId = FileId;

class DirEnumerator {
public:
    virtual ~DirEnumerator() = default;
    // Starts enumerating `pattern` (a folder followed by "*.*"); nullptr
    // when the folder cannot be read.
    virtual std::unique_ptr<DirListing> Open(const std::string& pattern) = 0;
    // The identity of the folder that `folder` (ending in '\\') leads to, or
    // nothing when it cannot be told.
    virtual std::optional<FolderId> Identity(const std::string& folder) = 0;
};

struct ScanCallbacks {
    // Registers one shortcut path (may show the duplicate message).
    std::function<void(std::string&& path)> registerShortcut;
    // Called after each registration, with the list's new size (the window
    // may let pending messages run).
    std::function<void()> afterRegister;
    // Called before entering each subfolder (the window pumps messages).
    std::function<void()> beforeSubfolder;
    // Asked after each of the two: true ends the whole scan at once (the
    // user stopped it, or the window was closed meanwhile).
    std::function<bool()> cancelled;
    // Told of each folder left out because it lies too deep.
    std::function<void(const std::string& folder)> skippedTooDeep;
};

// True when a file name's extension (from its last '.') is ".lnk" in any
// letter case.
bool IsShortcutFileName(const std::string& name);

// Folders more than this many levels below the scanned one are not entered
// (and are reported): the last guard against a loop of links that the
// system does not mark as links. Real trees are far shallower.
inline constexpr int kMaxScanDepth = 130;

// Scans `folder` (ending in '\\') and every folder below it, depth first,
// in enumeration order. Folder links and junctions are followed like any
// folder, except one that leads back to a folder already on the current
// path. Returns false when the scan was cancelled.
bool ScanFolder(const std::string& folder, DirEnumerator& dirs,
                const ScanCallbacks& callbacks);

}  // namespace tsly
