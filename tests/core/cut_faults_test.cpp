// Bad input for the cutting rule and the scan: a marker or replacement that
// only matches from the middle of a character (rows from the code page 932
// days, kept as regression cases), texts that would move a file
// out of its folder, and folder trees without an end.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "core/cut_rule.h"
#include "core/folder_scan.h"

namespace {
using namespace tsly;
const std::string kDir = "C:\\表\\";

std::optional<std::string> InDir(const char* name) {
    return name ? std::optional<std::string>(kDir + name) : std::nullopt;
}

TEST(CutFaults, EndingsCountOnlyWhereACharacterBegins) {
    struct Case { const char* name; CutOptions options; const char* target; };
    const CutOptions none{"", false, false, ""};
    // "モﾖ" is 83 82 D6: from its second byte on it reads as "へ" (82 D6).
    // "か" is 82 A9, whose second byte alone is "ｩ".
    const Case cases[] = {
        {"モﾖのショートカット.lnk", none, nullptr},
        {"モﾖのｼｮｰﾄｶｯﾄ.lnk", none, nullptr},
        {"モﾖのショートカット.lnk", {"x", true, false, ""}, "モﾖのショートカット x.lnk"},
        {"モへのショートカット.lnk", none, "モ .lnk"},
        {"電卓か.lnk", {"ｩ", true, false, ""}, "電卓か ｩ.lnk"},
        {"電卓か ｩ.lnk", {"ｩ", true, false, ""}, nullptr},
        {"電卓ｩ.lnk", {"ｩ", true, false, ""}, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstCutTarget(kDir + c.name, c.options), InDir(c.target)) << c.name;
}

TEST(CutFaults, NoNewNameLeavesTheFolder) {
    struct Case { const char* name; CutOptions options; const char* target; };
    const Case cases[] = {
        // Replacement texts that hold a separator: no first cut at all.
        {"aへのショートカット.lnk", {"\\..\\..\\x", false, false, ""}, nullptr},
        {"aへのショートカット.lnk", {"/../x", false, false, ""}, nullptr},
        {"a.lnk", {"sub\\x", true, false, ""}, nullptr},
        // 表 in the replacement holds a 0x5C byte but no separator.
        {"aへのショートカット.lnk", {"表", false, false, ""}, "a 表.lnk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstCutTarget(kDir + c.name, c.options), InDir(c.target))
            << c.name << " R=" << c.options.replacement;

    const Case second[] = {
        {"..lnk", {"", false, true, "lnk"}, nullptr},      // would name the parent
        {".lnk", {"", false, true, ".lnk"}, nullptr},      // would name the folder
        {". .lnk", {"", false, true, ".lnk"}, nullptr},    // dots and blanks only
        {"表x.lnk", {"", false, true, "\x95"}, nullptr},   // frees 表's 0x5C
        {"表x.lnk", {"", false, true, "x"}, "表.lnk"},
        {"a.b.lnk", {"", false, true, ".lnk"}, "a.b"},
    };
    for (const Case& c : second)
        EXPECT_EQ(SecondCutTarget(kDir + c.name, c.options), InDir(c.target))
            << c.name << " T=" << c.options.secondText;
}

// Every folder holds one shortcut and a folder that leads back to itself,
// and the system does not mark that folder as a link.
struct EndlessDirs : DirEnumerator {
    int opened = 0;
    struct Listing : DirListing {
        int next = 0;
        bool Next(DirEntry& e) override {
            if (next == 2) return false;
            e = next++ == 0 ? DirEntry{"loop", kAttrDirectory} : DirEntry{"x.lnk", 0x20};
            return true;
        }
    };
    std::unique_ptr<DirListing> Open(const std::string&) override {
        ++opened;
        return std::make_unique<Listing>();
    }
    std::optional<FolderId> Identity(const std::string&) override { return std::nullopt; }
};

TEST(ScanFaults, AFolderLoopTheSystemDoesNotMarkStillEnds) {
    EndlessDirs dirs;
    int registered = 0, tooDeep = 0;
    std::size_t longest = 0;
    ScanCallbacks cb;
    cb.skippedTooDeep = [&](const std::string&) { ++tooDeep; };
    cb.registerShortcut = [&](const std::string& p) {
        ++registered;
        longest = std::max(longest, p.size());
    };
    EXPECT_TRUE(ScanFolder("C:\\", dirs, cb));
    EXPECT_EQ(dirs.opened, kMaxScanDepth + 1);
    EXPECT_EQ(registered, kMaxScanDepth + 1);
    EXPECT_EQ(tooDeep, 1);  // and the status can say so
    EXPECT_GT(longest, 260u + 4u);
}

}  // namespace
