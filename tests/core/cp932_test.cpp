// Shift-JIS byte-string helpers. Literals are code page 932 bytes at run time.
#include "core/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using namespace tsly::cp932;
constexpr std::size_t npos = std::string_view::npos;

TEST(Cp932, Separators) {
    struct Case { const char* text; std::size_t last, first; };
    const Case cases[] = {
        {"", npos, npos},       {"能ソ表", npos, npos}, {"C:\\表", 2, 2},  {"C:\\Data\\", 7, 2},
        {"C:\\ソフト\\表.lnk", 9, 2}, {"ｼｮｰﾄ\\x", 4, 4},
        {"＝\\", 2, 2},         // ＝ is 0x81 0x81: its second byte looks like a lead byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastSeparator(c.text), c.last) << c.text;
        EXPECT_EQ(NextSeparator(c.text, 0), c.first) << c.text;
    }
    EXPECT_EQ(NextSeparator("C:\\表\\a", 3), 5u);
    EXPECT_FALSE(IsCharBoundary("ソ表", 3));
    EXPECT_FALSE(IsCharBoundary("＝\\", 1));
    EXPECT_TRUE(IsCharBoundary("表a", 3));
    EXPECT_TRUE(IsLeadByte(0x81) && IsLeadByte(0x9F) && IsLeadByte(0xE0) && IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80) || IsLeadByte(0xA0) || IsLeadByte(0xB1) || IsLeadByte(0xFD));
}

TEST(Cp932, FindOnBoundary) {
    struct Case { const char* text; const char* needle; std::size_t from, at; };
    const Case cases[] = {
        {"表計算", "\\", 0, npos}, {"ソ\\", "\\", 0, 2},  {"能\\表\\", "\\", 3, 5},
        {"ア", "A", 0, npos},      {"アA", "A", 0, 2},     {"abab", "ab", 1, 2},
        {"abc", "", 0, npos},      {"ab", "abc", 0, npos},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOnBoundary(c.text, c.needle, c.from), c.at) << c.text << " " << c.needle;
}

TEST(Cp932, FoldCase) {
    struct Case { std::string a, b; bool equal; };
    const Case cases[] = {
        {"c:\\temp\\a.lnk", "C:\\TEMP\\A.LNK", true}, {"ａｚ", "ＡＺ", true}, {"αω", "ΑΩ", true},
        {"аоя", "АОЯ", true},  {"表a", "表A", true},
        {"ｱ", "ア", false},    {"あ", "ア", false},   {"a", "ａ", false},
        {"表", "\x95\x7C", false},
        {"ア", "ヂ", false},   // 0x83 0x41 and 0x83 0x61: second bytes are no letters
    };
    for (const Case& c : cases)
        EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.equal) << c.a << " vs " << c.b;
}

}  // namespace
