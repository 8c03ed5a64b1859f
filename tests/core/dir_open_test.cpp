// The fast listing mode and its plain fallback, driven through a scan.
#include "core/dir_open.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {
using namespace tsly;
using Trace = std::vector<std::string>;

// A system that refuses the fast mode everywhere (an older Windows) or only
// in the folders named in `refusingFolders`; "F C:\x\*.*" or "P ..." per try.
struct ModalDirs : FallbackDirEnumerator {
    std::map<std::string, std::vector<DirEntry>> folders;
    bool refusesFast = false;
    std::set<std::string> refusingFolders;
    Trace tries;
    struct Listing : DirListing {
        std::vector<DirEntry> entries;
        std::size_t next = 0;
        bool Next(DirEntry& e) override {
            if (next == entries.size()) return false;
            e = entries[next++];
            return true;
        }
    };
    ListingStart OpenIn(const std::string& pattern, ListingMode mode) override {
        const bool fast = mode == ListingMode::Fast;
        tries.push_back((fast ? "F " : "P ") + pattern);
        if (fast && (refusesFast || refusingFolders.count(pattern))) return {nullptr, true};
        const auto it = folders.find(pattern);
        if (it == folders.end()) return {};
        auto listing = std::make_unique<Listing>();
        listing->entries = it->second;
        return {std::move(listing), false};
    }
    std::optional<FolderId> Identity(const std::string&) override { return std::nullopt; }
};

Trace Scan(ModalDirs& dirs) {
    Trace found;
    ScanCallbacks cb;
    cb.registerShortcut = [&](const std::string& p) { found.push_back(p); };
    ScanFolder("C:\\R\\", dirs, cb);
    return found;
}

TEST(DirOpen, ScanFindsEveryShortcutWhateverTheSystemTakes) {
    struct Row {
        bool refusesFast;
        std::set<std::string> refusingFolders;
        Trace tries;
    };
    const Row rows[] = {
        // A system with the fast mode uses it everywhere.
        {false, {}, {"F C:\\R\\*.*", "F C:\\R\\a\\*.*", "F C:\\R\\gone\\*.*", "F C:\\R\\b\\*.*"}},
        // One that refuses it: asked once, then plain for every folder.
        {true, {}, {"F C:\\R\\*.*", "P C:\\R\\*.*", "P C:\\R\\a\\*.*", "P C:\\R\\gone\\*.*",
                    "P C:\\R\\b\\*.*"}},
        // A refusal where the plain listing fails too came from the folder:
        // the next folder is asked fast again.
        {false, {"C:\\R\\gone\\*.*"},
         {"F C:\\R\\*.*", "F C:\\R\\a\\*.*", "F C:\\R\\gone\\*.*", "P C:\\R\\gone\\*.*",
          "F C:\\R\\b\\*.*"}},
    };
    for (const Row& row : rows) {
        ModalDirs dirs;
        dirs.folders["C:\\R\\*.*"] = {{"a", kAttrDirectory}, {"x.lnk", 0},
                                      {"gone", kAttrDirectory}, {"b", kAttrDirectory}};
        dirs.folders["C:\\R\\a\\*.*"] = {{"y.lnk", 0}};
        dirs.folders["C:\\R\\b\\*.*"] = {{"z.lnk", 0}};
        dirs.refusesFast = row.refusesFast;
        dirs.refusingFolders = row.refusingFolders;
        EXPECT_EQ(Scan(dirs), (Trace{"C:\\R\\a\\y.lnk", "C:\\R\\x.lnk", "C:\\R\\b\\z.lnk"}));
        EXPECT_EQ(dirs.tries, row.tries);
    }
}

}  // namespace
