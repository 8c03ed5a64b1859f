// How the program's command line is split into parameters.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "core/long_path.h"
#include "platform/command_line.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "tests/app/harness.h"

namespace tsly::win {
namespace {

TEST(SplitCommandLine, BlanksSplitQuotesEncloseBackslashesAreOrdinary) {
    struct Row {
        const wchar_t* line;
        std::vector<std::wstring> parts;
    };
    const Row rows[] = {
        {L"", {}},
        {L" \t ", {}},
        {L"tsly.exe a b", {L"tsly.exe", L"a", L"b"}},
        {L"\"C:\\Program Files\\tsly.exe\"  a\t\tb ", {L"C:\\Program Files\\tsly.exe", L"a", L"b"}},
        // What the shell sends for a folder and a drive.
        {L"tsly.exe \"C:\\Data\\\" \"D:\\\" x", {L"tsly.exe", L"C:\\Data\\", L"D:\\", L"x"}},
        {L"tsly.exe C:\\Data\\ \\\\srv\\share", {L"tsly.exe", L"C:\\Data\\", L"\\\\srv\\share"}},
        {L"tsly.exe \"\" a \"\"", {L"tsly.exe", L"a"}},  // empty quotes name nothing
        {L"tsly.exe a\"b c\"d e", {L"tsly.exe", L"ab cd", L"e"}},
        {L"tsly.exe \"a b\"\"c d\"", {L"tsly.exe", L"a bc d"}},
        {L"tsly.exe \"tab\there\"\tx", {L"tsly.exe", L"tab\there", L"x"}},
        {L"tsly.exe \"unclosed blank", {L"tsly.exe", L"unclosed blank"}},
        {L"tsly.exe \xD83D\xDE00\x3000x", {L"tsly.exe", L"\xD83D\xDE00\x3000x"}},  // only ASCII blanks
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SplitCommandLine(row.line), row.parts) << testing::PrintToString(std::wstring(row.line));
    }
}

// Send To with a thousand short paths of one folder, as the shell hands
// them over: every file gets its long name, and each distinct path reaches
// the system's lookup once.
TEST(ExpandLongPath, AThousandPathsOfOneFolderAskEachPathOnce) {
    class Counting final : public PathLookup {
    public:
        explicit Counting(PathLookup& disk) : disk_(disk) {}
        std::string FullPath(const std::string& path) override { return disk_.FullPath(path); }
        std::optional<std::string> LongName(const std::string& path) override {
            ++asked[path];
            return disk_.LongName(path);
        }
        bool IsFolder(const std::string& path) override {
            ++asked[path + " (folder?)"];
            return disk_.IsFolder(path);
        }
        std::map<std::string, int> asked;

    private:
        PathLookup& disk_;
    };
    test::TempDir dir;
    dir.MakeFolder("長いフォルダの名前 folder");
    // Fast: a whole listing without the short names, which are then looked up alone.
    for (ListingMode listing : {ListingMode::Plain, ListingMode::Fast}) {
        Win32PathLookup disk(listing);
        Counting counting(disk);
        RememberingPathLookup lookup(counting);
        for (int i = 0; i < 1000; ++i) {
            const std::string file = dir.Make("長いフォルダの名前 folder\\電卓" + std::to_string(i) + " - ショートカット.lnk");
            wchar_t shortPath[MAX_PATH] = {};
            ASSERT_NE(GetShortPathNameW(ToWide(file).c_str(), shortPath, MAX_PATH), 0u);
            EXPECT_EQ(ExpandLongPath(FromWide(shortPath), lookup), file) << int(listing);
        }
        for (const auto& [path, times] : counting.asked) EXPECT_EQ(times, 1) << path;
    }
}

}  // namespace
}  // namespace tsly::win
