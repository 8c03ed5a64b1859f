// The undo journal on disk: its lines, what cannot be read, and finding
// the renamed files again after a restart or a crash.
#include "core/undo_journal.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {
using namespace tsly;

TEST(UndoJournal, WritesAndReadsBackItsLines) {
    const JournalRename a{FileId{0xC0FFEE, 0x1234567890ull}, "C:\\d\\Copy of xへのショートカット.lnk",
                          "C:\\d\\Copy of x .lnk", "C:\\d\\x .lnk", false, ""};
    const JournalRename b{std::nullopt, "C:\\d\\b - ショートカット.lnk", "", "C:\\d\\b .lnk", false, ""};
    const std::string text = JournalHeader() + JournalRenameLine(a) + JournalRenameLine(b) +
                             JournalDoneLine(1, "C:\\d\\b .lnk");
    const auto read = ParseJournal(text);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].id, a.id);
    EXPECT_EQ((*read)[0].via, a.via);
    EXPECT_FALSE((*read)[0].done);
    EXPECT_FALSE((*read)[1].id);
    EXPECT_TRUE((*read)[1].done);
    EXPECT_EQ((*read)[1].now, "C:\\d\\b .lnk");

    // Not one this program wrote whole: never followed.
    const std::string r = "R\t1\t2\tC:\\a\t\tC:\\b\n";
    EXPECT_TRUE(ParseJournal(JournalHeader() + "R\tffffffff\t2\tC:\\a\t\tC:\\b\n"));
    const std::string bad[] = {"", JournalHeader() + "R\t-\t2\tC:\\a\t\tC:\\b\n", JournalHeader() + "R\t1\t-\tC:\\a\t\tC:\\b\n", JournalHeader() + "R\t100000000\t2\tC:\\a\t\tC:\\b\n", "Tessalyne undo journal 2\n" + r, JournalHeader() + r.substr(0, 12),
                               JournalHeader() + "R\t1\tzz\tC:\\a\t\tC:\\b\n", JournalHeader() + "R\t1\t2\tC:\\a\tC:\\b\n",
                               JournalHeader() + r + "D\t1\tC:\\b\n", JournalHeader() + r + "D\t0\n",
                               JournalHeader() + r + "X\t0\n", "[.ShellClassInfo]\r\n"};
    for (const std::string& text : bad) EXPECT_FALSE(ParseJournal(text)) << text;
}

TEST(UndoJournal, FindsEachFileByItsIdentity) {
    // The disk after the program died: which file is where.
    const std::map<std::string, std::uint64_t> disk = {
        {"C:\\done .lnk", 1}, {"C:\\half", 2}, {"C:\\taken .lnk", 9}, {"C:\\never - x.lnk", 4},
        {"C:\\back - x.lnk", 6}};
    const auto identity = [&](const std::string& path) -> std::optional<FileId> {
        const auto it = disk.find(path);
        if (it == disk.end()) return std::nullopt;
        return FileId{7, it->second};
    };
    auto rename = [](std::uint64_t id, const char* from, const char* via, const char* to, const char* now) {
        JournalRename r{FileId{7, id}, from, via, to, now != nullptr, now ? now : ""};
        return r;
    };
    std::vector<JournalRename> renames = {
        rename(1, "C:\\done - x.lnk", "", "C:\\done .lnk", "C:\\done .lnk"),
        rename(2, "C:\\Copy of half - x.lnk", "C:\\half", "C:\\half .lnk", nullptr),  // died between the steps
        rename(3, "C:\\taken - x.lnk", "", "C:\\taken .lnk", nullptr),  // its name was taken: never renamed
        rename(4, "C:\\never - x.lnk", "", "C:\\never .lnk", nullptr),  // not reached
        rename(5, "C:\\gone - x.lnk", "", "C:\\gone .lnk", "C:\\gone .lnk"),  // renamed, since deleted
        rename(6, "C:\\back - x.lnk", "", "C:\\back .lnk", "C:\\back .lnk"),  // undone already
    };
    renames.push_back(JournalRename{std::nullopt, "C:\\n - x.lnk", "", "C:\\n .lnk", true, "C:\\n .lnk"});
    const std::vector<JournalUndo> undo = FindJournalFiles(renames, identity);
    ASSERT_EQ(undo.size(), 4u);
    EXPECT_EQ(undo[0].current, "C:\\done .lnk");
    EXPECT_EQ(undo[1].current, "C:\\half");
    EXPECT_EQ(undo[1].original, "C:\\Copy of half - x.lnk");
    EXPECT_EQ(undo[2].current, "C:\\gone .lnk");
    EXPECT_EQ(undo[3].current, "C:\\n .lnk");
    EXPECT_FALSE(undo[3].id);
}

}  // namespace
