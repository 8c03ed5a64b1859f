// The recursive search of a folder tree for shortcut files, over a
// directory-enumeration interface so that it runs without a file system.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

class DirEnumerator {
public:
    virtual ~DirEnumerator() = default;
    // Starts enumerating `pattern` (a folder followed by "*.*"); nullptr
    // when the folder cannot be read.
    virtual std::unique_ptr<DirListing> Open(const std::string& pattern) = 0;
};

struct ScanCallbacks {
    // Registers one shortcut path (may show the duplicate message).
    std::function<void(const std::string& path)> registerShortcut;
    // Called after each registration, with the list's new size.
    std::function<void()> afterRegister;
    // Called before entering each subfolder (the window pumps messages).
    std::function<void()> beforeSubfolder;
    // Asked after each such turn: true ends the whole scan (the window was
    // closed meanwhile).
    std::function<bool()> cancelled;
};

// True when a file name's extension (from its last '.') is ".lnk" in any
// letter case.
bool IsShortcutFileName(const std::string& name);

// Folders more than this many levels below the scanned one are not entered.
// A path of MAX_PATH (260) bytes holds at most 130 levels, so no folder that
// the ANSI file calls can reach is left out.
inline constexpr int kMaxScanDepth = 130;

// Scans `folder` (ending in '\\') and every folder below it, depth first,
// in enumeration order. Returns false when the scan was cancelled.
bool ScanFolder(const std::string& folder, DirEnumerator& dirs,
                const ScanCallbacks& callbacks);

}  // namespace tsly
