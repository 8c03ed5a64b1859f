// The fast listing mode and its plain fallback, driven through a scan.
#include "core/dir_open.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {
using namespace tsly;

// C:\ holds a.lnk and the folders g (gone: never lists) and b (b.lnk). The
// fast mode is refused in the folders of `refusing` ("*": everywhere).
// `tries` notes each start: mode and folder, "F:" for C:\ in the fast mode.
struct ModalDirs : FallbackDirEnumerator {
    std::string refusing, tries;
    struct Listing : DirListing {
        std::vector<DirEntry> left;
        bool Next(DirEntry& e) override {
            if (left.empty()) return false;
            e = left.front();
            left.erase(left.begin());
            return true;
        }
    };
    ListingStart OpenIn(const std::string& pattern, ListingMode mode) override {
        const std::string folder = pattern.substr(pattern.size() - 5, 1);  // "C:\g\*.*" -> "g"
        tries += (mode == ListingMode::Fast ? " F" : " P") + folder;
        const bool refused = refusing == "*" || refusing.find(folder) != std::string::npos;
        if (mode == ListingMode::Fast && refused) return {nullptr, true};
        const std::map<std::string, std::vector<DirEntry>> folders = {
            {":", {{"a.lnk", 0}, {"g", kAttrDirectory}, {"b", kAttrDirectory}}},
            {"b", {{"b.lnk", 0}}}};
        const auto it = folders.find(folder);
        if (it == folders.end()) return {};
        auto listing = std::make_unique<Listing>();
        listing->left = it->second;
        return {std::move(listing), false};
    }
    std::optional<FolderId> Identity(const std::string&) override { return std::nullopt; }
};

TEST(DirOpen, ScanFindsEveryShortcutWhateverTheSystemTakes) {
    const struct { std::string refusing, tries; } rows[] = {
        {"", " F: Fg Fb"},       // the fast mode everywhere
        {"*", " F: P: Pg Pb"},   // refused once, then plain for every folder
        {"g", " F: Fg Pg Fb"},   // refused by a folder that never lists: fast again
    };
    for (const auto& row : rows) {
        ModalDirs dirs;
        dirs.refusing = row.refusing;
        std::vector<std::string> found;
        ScanCallbacks cb;
        cb.registerShortcut = [&](const std::string& p) { found.push_back(p); };
        ScanFolder("C:\\", dirs, cb);
        EXPECT_EQ(found, (std::vector<std::string>{"C:\\a.lnk", "C:\\b\\b.lnk"}));
        EXPECT_EQ(dirs.tries, row.tries);
    }
}

}  // namespace
