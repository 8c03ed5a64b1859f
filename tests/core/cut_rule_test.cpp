// The renaming rule for one path: split, extension test, first and second cut.
#include "core/cut_rule.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {
using namespace tsly;
const std::string kDir = "C:\\Data\\Tools\\";

std::optional<std::string> InDir(const char* name) {
    return name ? std::optional<std::string>(kDir + name) : std::nullopt;
}

TEST(CutRule, SplitPathAndExtension) {
    struct Case { const char* path; const char* folder; const char* name; bool lnk; };
    const Case cases[] = {
        {"C:\\Data\\電卓.LNK", "C:\\Data\\", "電卓.LNK", true},
        {"C:\\Data\\表xy", "C:\\Data\\", "表xy", false},  // "lnk" begins inside 表
        {"C:\\a_lnk", "C:\\", "a_lnk", false}, {"lnk", nullptr, nullptr, false},
        {"C:\\.lnk", "C:\\", ".lnk", true},
        {"C:\\c.Lnk.txt", "C:\\", "c.Lnk.txt", false},
        {"C:\\a.lnk\\", "C:\\a.lnk\\", "", false},
        {"表計算.lnk", nullptr, nullptr, true},
    };
    for (const Case& c : cases) {
        const auto parts = SplitPath(c.path);
        EXPECT_EQ(HasShortcutExtension(c.path), c.lnk) << c.path;
        ASSERT_EQ(parts.has_value(), c.folder != nullptr) << c.path;
        if (!parts) continue;
        EXPECT_EQ(parts->folder, c.folder);
        EXPECT_EQ(parts->name, c.name);
    }
    const std::vector<char> name{'a', '.', 'l', 'n', 'k'};  // no terminator to compare
    EXPECT_TRUE(HasShortcutExtension(std::string_view(name.data(), name.size())));
}

TEST(CutRule, SecondTextsThatCanReachTheExtension) {
    struct Case { const char* text; bool reaches; };
    const Case cases[] = {
        {".", true}, {"k", true}, {"K", true}, {"lnk", true}, {".LNK", true}, {".lN", true},
        {"", false}, {"nl", false}, {".lnk ", false}, {"x", false}, {"ｌｎｋ", false}, {"lnkk", false},
    };
    for (const Case& c : cases) EXPECT_EQ(CutsIntoExtension(c.text), c.reaches) << c.text;
}

// The preview is planned again when the options differ in any one field.
TEST(CutRule, OptionsDifferInEachField) {
    const CutOptions base{"R", false, false, "T", true, false};
    std::vector<CutOptions> changed(6, base);
    changed[0].replacement = "S", changed[1].applyToUnmarked = true, changed[2].cutSecondText = true;
    changed[3].secondText = "U", changed[4].cutModernMarker = false, changed[5].cutPrefixMarkers = true;
    EXPECT_TRUE(base == CutOptions(base));
    for (const CutOptions& c : changed) EXPECT_TRUE(c != base) << &c - changed.data();
}

TEST(CutRule, FirstCut) {
    struct Case { const char* name; CutOptions options; const char* target; };
    const CutOptions none{"", false, false, ""}, link{"(link)", false, false, ""};
    const CutOptions linkAll{"(link)", true, false, ""}, blankAll{"", true, false, ""};
    const CutOptions to{"ト", false, false, ""}, toAll{"ト", true, false, ""};
    const CutOptions noModern{"", false, false, "", false}, emoji{"😀", false, false, ""};
    const CutOptions pre{"", false, false, "", true, true}, preLink{"(link)", false, false, "", false, true};
    const Case cases[] = {
        {"電卓へのショートカット.lnk", none, "電卓 .lnk"},
        {"メモ帳 へのｼｮｰﾄｶｯﾄ.lnk", none, "メモ帳  .lnk"},
        {"電卓.lnk", none, nullptr},
        {"電卓へのショートカット (2).lnk", none, nullptr},
        {"電卓へのショートカットA.lnk", none, nullptr},
        {"電卓へのｼｮｰﾄカット.lnk", none, nullptr},
        {"表計算へのショートカット.lnk", none, "表計算 .lnk"},
        {"へのショートカット.lnk", none, " .lnk"},
        {"へのｼｮｰﾄｶｯﾄ.lnk", link, " (link).lnk"},
        {"電卓へのショートカット.LNK", none, "電卓 .lnk"},
        {"電卓へのショートカット.txt", none, nullptr},
        {"電卓へのショートカット", none, nullptr},
        {"電卓へのショートカット.lnk", link, "電卓 (link).lnk"},
        {"電卓.lnk", link, nullptr},
        {"電卓.lnk", linkAll, "電卓 (link).lnk"},
        {"電卓 (link).lnk", linkAll, nullptr},
        {"電卓(link) .lnk", linkAll, nullptr},      {"電卓 .lnk", linkAll, "電卓  (link).lnk"},
        {".lnk", linkAll, " (link).lnk"},
        {"電卓へのショートカット.lnk", linkAll, "電卓 (link).lnk"},
        {"電卓.lnk", blankAll, "電卓 .lnk"},
        {"電卓 .lnk", blankAll, nullptr},
        {".lnk", blankAll, nullptr},
        {"電卓へのショートカット.lnk", to, "電卓 ト.lnk"},
        {"電卓へのショートカット.lnk", toAll, "電卓 ト.lnk"},
        {"電卓ト.lnk", toAll, nullptr},
        // The marker of today's shell, and names beyond code page 932.
        {"メモ帳 - ショートカット.lnk", none, "メモ帳 .lnk"},
        {"メモ帳 - ショートカット.lnk", link, "メモ帳 (link).lnk"},
        {"メモ帳 - ショートカット.lnk", noModern, nullptr},
        {"電卓へのショートカット.lnk", noModern, "電卓 .lnk"},
        {"メモ帳- ショートカット.lnk", none, nullptr},
        {" - ショートカット.lnk", none, " .lnk"},
        {"Adobe® Reader - ショートカット.lnk", none, "Adobe® Reader .lnk"},
        {"Pokémon へのショートカット.lnk", link, "Pokémon  (link).lnk"},
        {"😀 – ショートカット.lnk", none, nullptr},
        {"😀 - ショートカット.lnk", emoji, "😀 😀.lnk"},
        {"메모장 - ショートカット.lnk", none, "메모장 .lnk"},
        {"记事本 - 快捷方式.lnk", linkAll, "记事本 (link).lnk"},
        {"x - ショートカット.lnk", {"- ショートカット", false, false, ""}, nullptr},  // same name
        // Every display language's marker; a copy's number stays after R.
        {"電卓 - ショートカット (2).lnk", none, "電卓 (2).lnk"}, {"電卓 - ショートカット (10).lnk", link, "電卓 (link) (10).lnk"},
        {"Notepad - Shortcut.lnk", none, "Notepad .lnk"}, {"Notepad - Shortcut (9).lnk", link, "Notepad (link) (9).lnk"},
        {"Rechner - Verknüpfung.lnk", link, "Rechner (link).lnk"}, {"Rechner - Verknüpfung (2).lnk", none, "Rechner (2).lnk"},
        {"Bloc-notes - Raccourci.lnk", none, "Bloc-notes .lnk"}, {"Bloc-notes - Raccourci (2).lnk", link, "Bloc-notes (link) (2).lnk"},
        {"Paint - Acceso directo.lnk", link, "Paint (link).lnk"}, {"Paint - Acceso directo (2).lnk", none, "Paint (2).lnk"},
        {"Blocco note - collegamento.lnk", none, "Blocco note .lnk"}, {"Blocco note - collegamento (2).lnk", link, "Blocco note (link) (2).lnk"},
        {"Bloco de notas - Atalho.lnk", link, "Bloco de notas (link).lnk"}, {"Paint - Atalho (2).lnk", none, "Paint (2).lnk"},
        {"Kladblok - Snelkoppeling.lnk", none, "Kladblok .lnk"}, {"Kladblok - Snelkoppeling (2).lnk", link, "Kladblok (link) (2).lnk"},
        {"Блокнот - Ярлык.lnk", link, "Блокнот (link).lnk"}, {"Блокнот - Ярлык (2).lnk", none, "Блокнот (2).lnk"},
        {"Notatnik - skrót.lnk", none, "Notatnik .lnk"}, {"Notatnik - skrót (2).lnk", link, "Notatnik (link) (2).lnk"},
        {"记事本 - 快捷方式 (2).lnk", none, "记事本 (2).lnk"}, {"記事本 - 捷徑.lnk", link, "記事本 (link).lnk"},
        {"記事本 - 捷徑 (2).lnk", none, "記事本 (2).lnk"}, {"메모장 - 바로 가기.lnk", none, "메모장 .lnk"},
        {"메모장 - 바로 가기 (2).lnk", link, "메모장 (link) (2).lnk"}, {"Notepad - Shortcut (2).lnk", noModern, nullptr},
        // The word elsewhere, in another case, or no number as the shell writes it.
        {"Blocco note - Collegamento.lnk", none, nullptr}, {"Shortcut - Notepad.lnk", none, nullptr},
        {"Notepad - Shortcut keys.lnk", none, nullptr}, {"Notepad - Shortcut(2).lnk", none, nullptr},
        {"Notepad - Shortcut (x).lnk", none, nullptr}, {"Notepad - Shortcut (2].lnk", none, nullptr},
        {"Notepad - Shortcut ().lnk", none, nullptr}, {"Notepad- Shortcut (2).lnk", none, nullptr},
        {"Notepad - Shortcut (0).lnk", none, nullptr}, {"Notepad - Shortcut (01).lnk", none, nullptr},
        {"Notepad - Shortcut (1).lnk", none, nullptr}, {"Notepad - Shortcut (1234567890).lnk", none, nullptr},
        {"Notepad - Shortcut (123456789).lnk", none, "Notepad (123456789).lnk"},
        // A copy the cut named is done; a number alone is not a copy.
        {"(link) (2).lnk", linkAll, nullptr}, {"電卓 (2).lnk", blankAll, nullptr},
        {"電卓 (2).lnk", linkAll, "電卓 (2) (link).lnk"}, {"(2).lnk", blankAll, "(2) .lnk"},
        {" (2).lnk", blankAll, nullptr}, {"電卓 (link)x (2).lnk", linkAll, "電卓 (link)x (2) (link).lnk"},
        // Before the name, only on request and only as written.
        {"Shortcut to Notepad.lnk", none, nullptr}, {"Shortcut to Notepad.lnk", pre, "Notepad .lnk"},
        {"Verknüpfung mit Rechner.lnk", preLink, "Rechner (link).lnk"}, {"Raccourci vers Paint.lnk", pre, "Paint .lnk"},
        {"Ярлык для Блокнот.lnk", preLink, "Блокнот (link).lnk"}, {"Shortcut (2) to Notepad.lnk", pre, nullptr},
        {"shortcut to Notepad.lnk", pre, nullptr}, {"My Shortcut to Notepad.lnk", pre, nullptr},
        {"Shortcut to Notepad - Shortcut.lnk", pre, "Shortcut to Notepad .lnk"},
        {"Shortcut to Notepad - Shortcut.lnk", preLink, "Notepad - Shortcut (link).lnk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstCutTarget(kDir + c.name, c.options), InDir(c.target))
            << c.name << " R=" << c.options.replacement << (c.options.applyToUnmarked ? "+" : "");
    EXPECT_EQ(FirstCutTarget("電卓へのショートカット.lnk", none), std::nullopt);  // no folder
}

TEST(CutRule, SecondCut) {
    struct Case { const char* name; CutOptions options; const char* target; };
    const CutOptions copyOf{"", false, true, "Copy of "};
    const Case cases[] = {
        {"Copy of Report.lnk", copyOf, "Report.lnk"},
        {"Copy of Report .lnk", copyOf, "Report .lnk"},
        {"Copy of Copy of X.lnk", copyOf, "Copy of X.lnk"},
        {"copy of Report.lnk", copyOf, nullptr},
        {"Copy of Report.txt", copyOf, nullptr},
        {"Copy of Report.lnk", {"", false, false, "Copy of "}, nullptr},
        {"Report.lnk", {"", false, true, ""}, nullptr},
        {"Report .lnk", {"", false, true, ".lnk"}, "Report"},  // stored without its blank
        {"Book.lnk", {"", false, true, "k"}, "Boo.lnk"},
        {"ア.lnk", {"", false, true, "A"}, nullptr},
        {"アA.lnk", {"", false, true, "A"}, "ア.lnk"},
        {"Café®.lnk", {"", false, true, "®"}, "Café.lnk"},
        {"한😀中.lnk", {"", false, true, "😀"}, "한中.lnk"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SecondCutTarget(kDir + c.name, c.options), InDir(c.target))
            << c.name << " T=" << c.options.secondText;
    // Only the file name is searched, and a name needs a folder.
    EXPECT_EQ(SecondCutTarget("C:\\Copy of \\Report.lnk", copyOf), std::nullopt);
    EXPECT_EQ(SecondCutTarget("Copy of Report.lnk", copyOf), std::nullopt);
}

TEST(CutRule, NamesTheSystemRefuses) {
    struct Case { std::string name; RenameFailure failure; char32_t character; };
    const Case cases[] = {
        {"a.lnk", RenameFailure::None, 0},
        {"", RenameFailure::LeavesFolder, 0},
        {"a?.lnk", RenameFailure::BadCharacter, U'?'},
        {"a:b.lnk", RenameFailure::BadCharacter, U':'},
        {"?a.lnk", RenameFailure::BadCharacter, U'?'},
        {"a\x1f.lnk", RenameFailure::BadCharacter, 0x1F},
        {"a .lnk", RenameFailure::None, 0},  // a blank, not a control character
        {"con.lnk", RenameFailure::ReservedName, 0},
        {"NUL .lnk", RenameFailure::ReservedName, 0},
        {"LPT9.lnk", RenameFailure::ReservedName, 0},
        {"com3.lnk", RenameFailure::ReservedName, 0},
        {"COM0.lnk", RenameFailure::None, 0},
        {"COM10.lnk", RenameFailure::None, 0},
        {"CONx.lnk", RenameFailure::None, 0},
        {std::string(255, 'a'), RenameFailure::None, 0},
        {std::string(256, 'a'), RenameFailure::TooLong, 0},
        {std::string(85, 'a') + "😀" + std::string(168, 'b') + "あ", RenameFailure::TooLong, 0},  // 256 UTF-16 units
    };
    for (const Case& c : cases) {
        const NameProblem p = CheckNewName(c.name);
        EXPECT_EQ(p.failure, c.failure) << c.name;
        EXPECT_EQ(p.character, c.character) << c.name;
    }
    EXPECT_EQ(StoredName("a. . "), "a");
    NameProblem stale{RenameFailure::TooLong, 0};  // each call says afresh
    EXPECT_FALSE(SecondCutTarget(kDir + "a.lnk", CutOptions{}, &stale));
    EXPECT_FALSE(stale);
    // A name that fits, in a folder so deep that the whole path just fits
    // ("C:\\", the folder, "\\a .lnk": the longest path), or by one unit not.
    for (const std::size_t over : {0, 1}) {
        NameProblem deep;
        const std::string folder = "C:\\" + std::string(kMaxPathUnits - 10 + over, 'f') + "\\";
        EXPECT_EQ(FirstCutTarget(folder + "aへのショートカット.lnk", CutOptions{}, &deep).has_value(), !over);
        EXPECT_EQ(deep.failure, over ? RenameFailure::TooLong : RenameFailure::None);
    }
    EXPECT_EQ(CheckReplacement("(link)").failure, RenameFailure::None);
    EXPECT_EQ(CheckReplacement("a|b").character, U'|');
    EXPECT_EQ(CheckReplacement(std::string(251, 'x')).failure, RenameFailure::TooLong);
    EXPECT_EQ(CheckReplacement(std::string(250, 'x')).failure, RenameFailure::None);
}

}  // namespace
