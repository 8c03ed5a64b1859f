// The recursive folder scan over an in-memory directory tree.
#include "core/folder_scan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
using namespace tsly;
using Trace = std::vector<std::string>;
constexpr std::uint32_t kDir = kAttrDirectory, kHiddenSystem = 0x06;

struct FakeDirs : DirEnumerator {
    std::map<std::string, std::vector<DirEntry>> folders;  // pattern -> entries
    std::map<std::string, FolderId> ids;                    // folder -> identity
    Trace opened;
    struct Listing : DirListing {
        std::vector<DirEntry> entries;
        std::size_t next = 0;
        bool Next(DirEntry& e) override {
            if (next == entries.size()) return false;
            e = entries[next++];
            return true;
        }
    };
    std::unique_ptr<DirListing> Open(const std::string& pattern) override {
        opened.push_back(pattern);
        const auto it = folders.find(pattern);
        if (it == folders.end()) return nullptr;
        auto listing = std::make_unique<Listing>();
        listing->entries = it->second;
        return listing;
    }
    std::optional<FolderId> Identity(const std::string& folder) override {
        const auto it = ids.find(folder);
        if (it == ids.end()) return std::nullopt;
        return it->second;
    }
};

// "reg <path>", "count" after each registration, "enter" before a subfolder,
// "cancelled" when the scan says it was cut short by the window closing in
// turn `closeOnTurn` (1-based; 0: never).
Trace Scan(const std::string& root, FakeDirs& dirs, int closeOnTurn = 0) {
    Trace trace;
    int turns = 0;
    ScanCallbacks cb;
    cb.registerShortcut = [&](const std::string& p) { trace.push_back("reg " + p); };
    cb.afterRegister = [&] { trace.push_back("count"); };
    cb.beforeSubfolder = [&] { trace.push_back("enter"); ++turns; };
    cb.cancelled = [&] { return closeOnTurn != 0 && turns == closeOnTurn; };
    if (!ScanFolder(root, dirs, cb)) trace.push_back("cancelled");
    return trace;
}

TEST(FolderScan, EntersShortcutFilesOnly) {
    FakeDirs dirs;
    dirs.folders["C:\\R\\*.*"] = {{".", kDir},     {"..", kDir},     {"a.lnk", 0x20},
                                  {"B.LNK", 0x01}, {"c.Lnk.txt", 0}, {"d", 0},
                                  {"e.lnkx", 0},   {".lnk", kHiddenSystem}};
    EXPECT_EQ(Scan("C:\\R\\", dirs), (Trace{"reg C:\\R\\a.lnk", "count", "reg C:\\R\\B.LNK",
                                            "count", "reg C:\\R\\.lnk", "count"}));
    EXPECT_EQ(dirs.opened, Trace{"C:\\R\\*.*"});
    EXPECT_TRUE(Scan("C:\\Missing\\", dirs).empty());
}

TEST(FolderScan, DepthFirstInEnumerationOrder) {
    FakeDirs dirs;
    dirs.folders["C:\\表\\*.*"] = {{"x.lnk", 0},         {"sub", kDir | kHiddenSystem},
                                   {".cache", kDir},     {"junction", kDir | kAttrReparsePoint},
                                   {"unreadable", kDir}, {"y.lnk", 0}};
    dirs.folders["C:\\表\\sub\\*.*"] = {{"deep", kDir}, {"z.lnk", kHiddenSystem}};
    dirs.folders["C:\\表\\sub\\deep\\*.*"] = {{"w.lnk", 0}};
    dirs.folders["C:\\表\\.cache\\*.*"] = {{"c.lnk", 0}};
    dirs.folders["C:\\表\\junction\\*.*"] = {{"j.lnk", 0}};
    EXPECT_EQ(Scan("C:\\表\\", dirs),
              (Trace{"reg C:\\表\\x.lnk", "count", "enter", "enter",
                     "reg C:\\表\\sub\\deep\\w.lnk", "count", "reg C:\\表\\sub\\z.lnk", "count",
                     "enter", "reg C:\\表\\junction\\j.lnk", "count", "enter",
                     "reg C:\\表\\y.lnk", "count"}));
    EXPECT_EQ(dirs.opened, (Trace{"C:\\表\\*.*", "C:\\表\\sub\\*.*", "C:\\表\\sub\\deep\\*.*",
                                  "C:\\表\\junction\\*.*", "C:\\表\\unreadable\\*.*"}));
}

TEST(FolderScan, FollowsLinksButNotBackToTheCurrentPath) {
    // C:\R\A\ holds links to R itself, to its own folder A, to a sibling B
    // (followed: not on the path), and one whose target cannot be told.
    constexpr std::uint32_t kLink = kDir | kAttrReparsePoint;
    FakeDirs dirs;
    dirs.folders["C:\\R\\*.*"] = {{"A", kDir}, {"B", kDir}};
    dirs.folders["C:\\R\\A\\*.*"] = {{"up", kLink}, {"self", kLink}, {"side", kLink}, {"odd", kLink}};
    dirs.folders["C:\\R\\A\\side\\*.*"] = {{"s.lnk", 0}};
    dirs.folders["C:\\R\\A\\odd\\*.*"] = {{"o.lnk", 0}};
    dirs.folders["C:\\R\\B\\*.*"] = {{"b.lnk", 0}};
    dirs.ids = {{"C:\\R\\", {1, 10}},          {"C:\\R\\A\\", {1, 11}},
                {"C:\\R\\A\\up\\", {1, 10}},   {"C:\\R\\A\\self\\", {1, 11}},
                {"C:\\R\\A\\side\\", {1, 12}}, {"C:\\R\\B\\", {1, 12}}};
    EXPECT_EQ(Scan("C:\\R\\", dirs),
              (Trace{"enter", "enter", "reg C:\\R\\A\\side\\s.lnk", "count", "enter",
                     "reg C:\\R\\A\\odd\\o.lnk", "count", "enter", "reg C:\\R\\B\\b.lnk", "count"}));
}

TEST(FolderScan, ClosingTheWindowEndsTheWholeScan) {
    FakeDirs dirs;
    dirs.folders["C:\\*.*"] = {{"a.lnk", 0}, {"sub", kDir}, {"b.lnk", 0}};
    dirs.folders["C:\\sub\\*.*"] = {{"deep", kDir}, {"s.lnk", 0}};
    dirs.folders["C:\\sub\\deep\\*.*"] = {{"d.lnk", 0}};
    EXPECT_EQ(Scan("C:\\", dirs, 2),
              (Trace{"reg C:\\a.lnk", "count", "enter", "enter", "cancelled"}));
    EXPECT_EQ(dirs.opened, (Trace{"C:\\*.*", "C:\\sub\\*.*"}));

    // In a flat folder the scan stops between two files, not at its end.
    dirs.folders["C:\\*.*"] = {{"a.lnk", 0}, {"b.lnk", 0}, {"c.lnk", 0}};
    Trace trace;
    ScanCallbacks cb;
    cb.registerShortcut = [&](const std::string& p) { trace.push_back(p); };
    cb.cancelled = [&] { return trace.size() == 2; };
    EXPECT_FALSE(ScanFolder("C:\\", dirs, cb));
    EXPECT_EQ(trace, (Trace{"C:\\a.lnk", "C:\\b.lnk"}));
}

}  // namespace
