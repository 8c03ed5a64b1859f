// UTF-8 text helpers. The rows with 表, ソ and 能 guarded the 0x5C trail
// bytes of code page 932; they stay as regression cases.
#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {
using namespace tsly::utf8;
constexpr std::size_t npos = std::string_view::npos;

TEST(Utf8, Separators) {
    struct Case { const char* text; std::size_t last, first; };
    const Case cases[] = {
        {"", npos, npos},            {"能ソ表", npos, npos},   {"C:\\表", 2, 2},
        {"C:\\Data\\", 7, 2},        {"C:\\ソフト\\表.lnk", 12, 2}, {"ｼｮｰﾄ\\x", 12, 12},
        {"＝\\", 3, 3},              {"😀\\한", 4, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastSeparator(c.text), c.last) << c.text;
        EXPECT_EQ(NextSeparator(c.text, 0), c.first) << c.text;
    }
    EXPECT_EQ(NextSeparator("C:\\表\\a", 3), 6u);
    EXPECT_FALSE(IsCharBoundary("ソ表", 4));
    EXPECT_FALSE(IsCharBoundary("😀", 3));
    EXPECT_TRUE(IsCharBoundary("表a", 3));
    EXPECT_TRUE(IsCharBoundary("表", 3));
    EXPECT_FALSE(IsCharBoundary("表", 4));
}

TEST(Utf8, FindOnBoundary) {
    struct Case { std::string text, needle; std::size_t from, at; };
    const Case cases[] = {
        {"表計算", "\\", 0, npos}, {"ソ\\", "\\", 0, 3},  {"能\\表\\", "\\", 4, 7},
        {"ア", "A", 0, npos},      {"アA", "A", 0, 3},     {"abab", "ab", 1, 2},
        {"abc", "", 0, npos},      {"ab", "abc", 0, npos},
        // The tail of é (C3 A9) is not the character \xA9 alone.
        {"é", "\xA9", 0, npos},    {"aé\xA9", "\xA9", 0, npos},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindOnBoundary(c.text, c.needle, c.from), c.at) << c.text << " " << c.needle;
}

}  // namespace

namespace {

TEST(Utf8, ConvertsToAndFromUtf16) {
    struct Case { std::string utf8; std::u16string utf16; std::string back; };
    const Case cases[] = {
        {"C:\\表\\a.lnk", u"C:\\表\\a.lnk", "C:\\表\\a.lnk"},
        {"Café®", u"Café®", "Café®"},
        {"😀한中", u"\xD83D\xDE00한中", "😀한中"},
        {"a\xC3", u"a\xFFFD", "a\xEF\xBF\xBD"},                  // cut short
        {"\xC0\xAF", u"\xFFFD\xFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong '/'
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
        {"\xDF\xBF\xE0\xA0\x80", u"\x07FF\x0800", "\xDF\xBF\xE0\xA0\x80"},  // two and three bytes
        {"\xED\xBF\xBF\xEE\x80\x80", u"\xFFFD\xFFFD\xFFFD\xE000",  // the last surrogate, then not
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEE\x80\x80"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},  // the last code point
    };
    for (const Case& c : cases) {
        std::u16string wide;
        AppendUtf16(c.utf8, wide);
        EXPECT_EQ(wide, c.utf16) << c.utf8;
        std::string narrow;
        AppendUtf8(wide, narrow);
        EXPECT_EQ(narrow, c.back) << c.utf8;
    }
    std::string lone;
    AppendUtf8(u"\xDFFF" u"a\xD800", lone);
    EXPECT_EQ(lone, "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
    EXPECT_FALSE(IsWellFormed(u"a\xD800") || IsWellFormed(u"\xDC00") || IsWellFormed(u"\xDFFF") ||
                 IsWellFormed(u"\xDE00\xD83D"));
    EXPECT_TRUE(IsWellFormed(u"\xD83D\xDE00"));
}

}  // namespace
