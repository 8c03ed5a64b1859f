// The undo journal on disk: its lines, what cannot be read, and finding
// the renamed files again after a restart or a crash.
#include "core/undo_journal.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <tuple>

namespace {
using namespace tsly;

TEST(UndoJournal, ReadsBackEveryFieldOverTheWholeRange) {
    const JournalRename written[] = {
        {FileId{0xC0FFEE, 0x1234567890ull}, "C:\\d\\Copy of xへのショートカット.lnk", "C:\\d\\Copy of x .lnk", "C:\\d\\x .lnk", false, ""},
        {FileId{0, 0}, "C:\\a", "", "C:\\b", false, ""},
        {FileId{1, 1}, "C:\\c", "", "C:\\d", false, ""},
        {FileId{0xa, 0xabcdef}, "C:\\c2", "", "C:\\d2", false, ""},
        {FileId{0xFFFFFFFFu, ~0ull}, "C:\\e", "", "C:\\f", false, ""},  // NTFS ids use all 16 digits
        {std::nullopt, "C:\\d\\b - ショートカット.lnk", "", "C:\\d\\b .lnk", false, ""},
    };
    std::string text = JournalHeader();
    for (const JournalRename& r : written) text += JournalRenameLine(r);
    text += JournalDoneLine(5, "C:\\d\\b .lnk") + JournalDoneLine(0, "C:\\d\\x .lnk");
    const auto read = ParseJournal(text);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), std::size(written));
    for (std::size_t i = 0; i < read->size(); ++i) {
        const JournalRename& r = (*read)[i];
        EXPECT_EQ(r.id, written[i].id) << i;
        EXPECT_EQ(r.from, written[i].from) << i;
        EXPECT_EQ(r.via, written[i].via) << i;
        EXPECT_EQ(r.to, written[i].to) << i;
        EXPECT_EQ(r.done, i == 0 || i == 5) << i;
    }
    EXPECT_EQ((*read)[5].now, "C:\\d\\b .lnk");
}

// A crash leaves a torn tail: every whole, good line before it counts, the
// rest is ignored. Only a file that is no journal at all is refused.
TEST(UndoJournal, ReadsUpToTheFirstLineThatIsNotWhole) {
    const std::string a = JournalRenameLine({FileId{1, 2}, "C:\\a", "", "C:\\b", false, ""});
    const std::string b = JournalRenameLine({FileId{1, 3}, "C:\\c", "", "C:\\d", false, ""});
    const std::string done = JournalDoneLine(0, "C:\\b");
    std::string flipped = b;
    flipped[4] ^= 1;  // one bit of a path changed
    // A rename the program could not have written, after a good one.
    const auto after_a = [&a, &b](const char* from, const char* via, const char* to) {
        return JournalHeader() + a + JournalRenameLine({std::nullopt, from, via, to, false, ""}) + b;
    };
    const std::string v1 = "Tessalyne undo journal 1\nR\t1\t2\tC:\\a\t\tC:\\b\nD\t0\tC:\\b\n";
    const struct {
        std::string text;
        int renames;  // -1: not a journal
    } cases[] = {
        {JournalHeader() + a + b + done, 2},
        {JournalHeader() + a + b.substr(0, b.size() - 1), 1},  // cut off
        {JournalHeader() + a + b.substr(0, 10), 1},
        {JournalHeader() + a + std::string(4096, '\0'), 1},  // padded by a power cut
        {JournalHeader() + a + flipped + b, 1},  // the rest is not trusted either
        {JournalHeader() + a + "R\t-\t-\tC:\\\xff\t\tC:\\x\t" + "00000000\n", 1},
        {JournalHeader() + a + JournalRenameLine({std::nullopt, "C:\\\xc3", "", "C:\\x", false, ""}) + b, 1},
        {JournalHeader() + a + JournalDoneLine(1, "C:\\b") + b, 1},  // no rename 1 (yet)
        {JournalHeader() + a + JournalDoneLine(0, "C:\\d\\b") + b, 1},  // done outside its folder
        {JournalHeader() + a + JournalDoneLine(0, "b") + b, 1},
        {after_a("abc.lnk", "", "C:\\x"), 1},  // no folder
        {after_a("C:\\d\\a", "", "..\\x.lnk"), 1},
        {after_a("C:\\d\\..\\a", "", "C:\\d\\..\\b"), 1},
        {after_a("C:\\d\\a", "", "C:\\d\\a|b"), 1},  // a character no name holds
        {after_a("C:\\d\\a", "", "C:\\d\\"), 1},  // no name
        {after_a("C:\\d\\a", "", "C:\\e\\a"), 1},  // leaves its folder
        {after_a("C:\\d\\a", "C:\\e\\a", "C:\\d\\b"), 1},
        {after_a("\\\\?\\C:\\a", "", "\\\\?\\C:\\b"), 1},  // a device path
        {after_a("1:\\a", "", "1:\\b"), 1},
        {after_a("\\\\srv\\sh\\a", "\\\\srv\\sh\\b", "\\\\srv\\sh\\c"), 3},
        {after_a("C:\\d\\a", "", "C:\\d\\a.lnk."), 1},  // a name the system would store otherwise
        {after_a("C:\\d\\a", "", "C:\\d\\a.lnk "), 1},
        {JournalHeader() + "R\t-\t5\tC:\\a\t\tC:\\b\t" + "01d62df0\n" + b, 0},  // half an identity
        {JournalHeader() + "R\t5\t-\tC:\\a\t\tC:\\b\t" + "5e2994a8\n" + b, 0},
        {JournalHeader() + "R\t1\t00000000000000002\tC:\\a\t\tC:\\b\t" + "6487b2ea\n", 0},  // 17 digits
        {JournalHeader() + "R\t1\t2\tC:\\a\t\tC:\\b\t03909693e\n", 0},  // a checksum of 9 digits
        {JournalHeader() + "R\t100000000\t2\tC:\\a\t\tC:\\b\t" + "9b8985fb\n" + b, 0},  // volume past 32 bits
        // Written by hand: the checksum is the common CRC-32.
        {JournalHeader() + "R\t1\t2\tC:\\a\t\tC:\\b\t3909693e\n", 1},
        {JournalHeader() + "R\t1\t2\tC:\\a\t\tC:\\b\n", 0},  // a line of version 1 in version 2
        {v1, 1},
        {v1 + "R\t1\tzz\tC:\\c\t\tC:\\d\n" + "D\t0\tC:\\b\n", 1},
        {v1 + "X\t1\n" + "R\t1\t3\tC:\\c\t\tC:\\d\n", 1},  // no such line
        {"", 0},
        {JournalHeader().substr(0, 9), 0},  // died while making it
        {JournalHeader(), 0},
        {"Tessalyne undo journal 3\n" + a, -1},
        {"[.ShellClassInfo]\r\n", -1},
        {"Tessalyne undo journal 2 \n", -1},
    };
    for (const auto& c : cases) {
        const auto read = ParseJournal(c.text);
        EXPECT_EQ(read ? static_cast<int>(read->size()) : -1, c.renames) << c.text;
        EXPECT_EQ(LooksLikeJournal(c.text.substr(0, 40)), c.renames >= 0) << c.text;
    }
    EXPECT_TRUE((*ParseJournal(v1))[0].done);
    EXPECT_FALSE((*ParseJournal(v1))[0].checked);  // nothing proves its identities
    EXPECT_TRUE((*ParseJournal(JournalHeader() + a))[0].checked);
    // A whole line refused is told apart from a torn tail.
    bool refused = false;
    ParseJournal(JournalHeader() + a + flipped, &refused);
    EXPECT_TRUE(refused);
    ParseJournal(JournalHeader() + a + b.substr(0, 10), &refused);
    EXPECT_FALSE(refused);
}

TEST(UndoJournal, FileNamesSortByTheirCut) {
    const JournalStamp early{2026, 12, 8, 9, 5, 7, 3, 0x1a2f, 0};
    JournalStamp later = early;
    later.n = 10;  // sorts after 9: three digits
    JournalStamp latest = early;
    latest.year = 2027;
    EXPECT_EQ(JournalFileName(early), "undo-20261208-090507003-00001a2f-000.log");
    for (const JournalStamp& s : {early, later, latest}) {
        const auto read = ParseJournalFileName(JournalFileName(s));
        ASSERT_TRUE(read);
        EXPECT_EQ(std::tie(read->year, read->month, read->day, read->hour, read->minute, read->second,
                           read->millisecond, read->process, read->n),
                  std::tie(s.year, s.month, s.day, s.hour, s.minute, s.second, s.millisecond,
                           s.process, s.n));
    }
    EXPECT_EQ(JournalsNewestFirst({"undo.log", JournalFileName(early), "undo.log.bad", "x.txt",
                                   JournalFileName(latest), JournalFileName(later),
                                   "undo-20261208-090507003-00001a2b-.log",
                                   "undo-20261208-090507003-00001A2B-001.log",
                                   "undo-2026120-090507003-00001a2b-001.log",
                                   "undo-2026120a-090507003-00001a2b-001.log",
                                   "undo-20261208-090507003-00001a2b-001",
                                   "undo-20261208-090507003-00001a2b-001.lnk",
                                   JournalFileName(early) + ".bad"}),
              (std::vector<std::string>{JournalFileName(latest), JournalFileName(later),
                                        JournalFileName(early), "undo.log"}));
    EXPECT_EQ(EarlierRunUndoneText(12, 8, 14, 3), "前回の実行（12/08 14:03）を元に戻しました");
}

TEST(UndoJournal, FindsEachFileByItsIdentity) {
    // The disk after the program died: which file is where.
    const std::map<std::string, std::uint64_t> disk = {
        {"C:\\done .lnk", 1}, {"C:\\half", 2}, {"C:\\taken .lnk", 9}, {"C:\\never - x.lnk", 4},
        {"C:\\back - x.lnk", 6}, {"C:\\other .lnk", 8}, {"C:\\both .lnk", 10}, {"C:\\again .lnk", 11}};
    const auto identity = [&](const std::string& path) -> std::optional<FileId> {
        const auto it = disk.find(path);
        if (it == disk.end()) return std::nullopt;
        return FileId{7, it->second};
    };
    auto rename = [](std::uint64_t id, const char* from, const char* via, const char* to, const char* now) {
        JournalRename r{FileId{7, id}, from, via, to, now != nullptr, now ? now : "", true};
        return r;
    };
    std::vector<JournalRename> renames = {
        rename(1, "C:\\done - x.lnk", "", "C:\\done .lnk", "C:\\done .lnk"),
        rename(2, "C:\\Copy of half - x.lnk", "C:\\half", "C:\\half .lnk", nullptr),  // died between the steps
        rename(3, "C:\\taken - x.lnk", "", "C:\\taken .lnk", nullptr),  // its name was taken: never renamed
        rename(4, "C:\\never - x.lnk", "", "C:\\never .lnk", nullptr),  // not reached
        rename(5, "C:\\gone - x.lnk", "", "C:\\gone .lnk", "C:\\gone .lnk"),  // renamed, since deleted
        rename(6, "C:\\back - x.lnk", "", "C:\\back .lnk", "C:\\back .lnk"),  // undone already
        rename(8, "C:\\other - x.lnk", "", "C:\\other .lnk", nullptr),  // another cut renamed it later
        rename(10, "C:\\both - x.lnk", "", "C:\\both .lnk", "C:\\both .lnk"),  // this cut did, and says so
        // put back by an undo that died, then cut again by a newer cut
        rename(11, "C:\\again - x.lnk", "", "C:\\again .lnk", "C:\\again .lnk"),
    };
    renames.push_back(JournalRename{std::nullopt, "C:\\n - x.lnk", "", "C:\\n .lnk", true, "C:\\n .lnk"});
    // Nothing tells whether this one happened: left out.
    renames.push_back(JournalRename{std::nullopt, "C:\\m - x.lnk", "", "C:\\m .lnk", false, ""});
    const std::vector<JournalUndo> undo =
        FindJournalFiles(renames, identity, [](const FileId& id, const std::string& from) {
            return id.file >= 8 && (from.empty() || from == "C:\\again - x.lnk");
        });
    ASSERT_EQ(undo.size(), 5u);
    EXPECT_EQ(undo[0].current, "C:\\done .lnk");
    EXPECT_EQ(undo[1].current, "C:\\half");
    EXPECT_EQ(undo[1].original, "C:\\Copy of half - x.lnk");
    EXPECT_EQ(undo[2].current, "C:\\gone .lnk");
    EXPECT_EQ(undo[3].current, "C:\\both .lnk");
    EXPECT_EQ(undo[4].current, "C:\\n .lnk");
    EXPECT_FALSE(undo[4].id);
    EXPECT_TRUE(undo[0].proven);  // only a checked line's identity proves its file
    EXPECT_FALSE(undo[4].proven);
}

}  // namespace
