// Long-path expansion of command-line parameters through a fake lookup.
#include "core/long_path.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {
using namespace tsly;

struct FakeLookup : PathLookup {
    std::map<std::string, std::string> longNames;  // full path -> long name
    std::set<std::string> folders;
    std::map<std::string, int> asked;  // path -> lookups of its long name
    std::string FullPath(const std::string& p) override {
        return p.rfind("\\\\", 0) == 0 || p.rfind("C:\\", 0) == 0 ? p : "C:\\Data\\" + p;
    }
    std::optional<std::string> LongName(const std::string& p) override {
        ++asked[p];
        const auto it = longNames.find(p);
        return it == longNames.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool IsFolder(const std::string& p) override { return folders.count(p) != 0; }
};

TEST(LongPath, Expands) {
    FakeLookup fs;
    fs.longNames = {{"C:\\PROGRA~1", "Program Files"},
                    {"C:\\PROGRA~1\\SHORTC~1.LNK", "電卓へのショートカット.lnk"},
                    {"C:\\Data", "Data"},
                    {"C:\\Data\\TOOLS~1", "Tools"},
                    {"C:\\Data\\TOOLS~1\\CALCUL~1.LNK", "Calculator.lnk"},
                    {"C:\\表計~1", "表計算ソ"},  // an alias may hold double-byte characters
                    {"C:\\表計~1\\SHEET~1.LNK", "売上表へのショートカット.lnk"},
                    {"\\\\server\\share\\LONGNA~1.LNK", "Long Name.lnk"}};
    fs.folders = {"C:\\", "C:\\PROGRA~1", "C:\\Data", "C:\\Data\\TOOLS~1", "C:\\表計~1"};
    struct Case { const char* parameter; const char* expanded; };
    const Case cases[] = {
        {"C:\\PROGRA~1\\SHORTC~1.LNK", "C:\\Program Files\\電卓へのショートカット.lnk"},
        {"C:\\PROGRA~1", "C:\\Program Files\\"},
        {"C:\\PROGRA~1\\\\SHORTC~1.LNK", "C:\\Program Files\\\\SHORTC~1.LNK"},  // doubled: kept
        {"C:\\", "C:\\"},
        {"C:\\NOSUCH~1\\SHORTC~1.LNK", "C:\\NOSUCH~1\\SHORTC~1.LNK"},
        {"C:\\PROGRA~1\\NOSUCH~1.LNK", "C:\\Program Files\\NOSUCH~1.LNK"},
        {"TOOLS~1\\CALCUL~1.LNK", "C:\\Data\\Tools\\Calculator.lnk"},
        {"C:\\表計~1\\SHEET~1.LNK", "C:\\表計算ソ\\売上表へのショートカット.lnk"},
        {"C:\\表計~1", "C:\\表計算ソ\\"},  // ends in ソ, whose second byte is 0x5C
        {"\\\\server\\share\\LONGNA~1.LNK", "\\\\server\\share\\Long Name.lnk"},
        {"\\\\server\\share\\x.lnk", "\\\\server\\share\\x.lnk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandLongPath(c.parameter, fs), c.expanded) << c.parameter;
}

TEST(LongPath, OnlyAnExactAbsolutePathSkipsTheSystemsTidying) {
    struct Case { const char* path; bool needs; };
    const Case cases[] = {
        {"C:\\td\\dir.\\x.lnk", false}, {"\\\\srv\\share\\a \\x.lnk", false},
        {"C:\\a\\..\\x.lnk", true},    {"C:\\a\\.\\x.lnk", true},
        {"C:\\a\\..", true},             {"C:/a/x.lnk", true},
        {"x.lnk", true},                   {"C:x.lnk", true},
        {"C:\\a\\...\\x.lnk", false}, {"C:\\", false},
    };
    for (const Case& c : cases) EXPECT_EQ(NeedsFullPath(c.path), c.needs) << c.path;
}

TEST(LongPath, TheRootNamesTheVolume) {
    struct Case { const char* path; const char* root; };
    const Case cases[] = {
        {"C:\\a\\x.lnk", "C:\\"},
        {"\\\\srv\\share\\a\\x.lnk", "\\\\srv\\share\\"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"\\\\srv", "\\\\srv"},
        {"C:x.lnk", ""}, {"x\\y.lnk", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PathRoot(c.path), c.root) << c.path;
}

// A Send To of many files in one folder: each folder is looked up once,
// each file once, whatever the number of files.
TEST(LongPath, ABatchLooksEachPathUpOnce) {
    FakeLookup fs;
    fs.longNames = {{"C:\\LINKS~1", "Links"}, {"C:\\LINKS~1\\SUB", "Sub"}};
    fs.folders = {"C:\\LINKS~1", "C:\\LINKS~1\\SUB"};
    RememberingPathLookup lookup(fs);
    for (int i = 0; i < 1000; ++i) {
        const std::string name = std::to_string(i) + " - ショートカット.lnk";
        fs.longNames["C:\\LINKS~1\\SUB\\" + name] = name;
        EXPECT_EQ(ExpandLongPath("C:\\LINKS~1\\SUB\\" + name, lookup), "C:\\Links\\Sub\\" + name);
    }
    EXPECT_EQ(ExpandLongPath("C:\\LINKS~1\\SUB", lookup), "C:\\Links\\Sub\\");
    EXPECT_EQ(fs.asked.size(), 1002u);
    for (const auto& [path, times] : fs.asked) EXPECT_EQ(times, 1) << path;
}

}  // namespace
