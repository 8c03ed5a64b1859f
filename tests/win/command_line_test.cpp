// How the program's command line is split into parameters.
#include <gtest/gtest.h>

#include "platform/command_line.h"

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

}  // namespace
}  // namespace tsly::win
