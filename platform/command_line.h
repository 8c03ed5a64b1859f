// The program's parameters, read from the system's UTF-16 command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tsly::win {

// Splits a command line at blanks; double quotes enclose a parameter that
// contains blanks and are not part of it. A backslash is an ordinary
// character: the shell sends a folder as "C:\Data\" and a drive as "D:\",
// and neither may swallow the rest of the line.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

// Parameters 1 to N (not the program's own path), in UTF-8.
std::vector<std::string> CommandLineParameters();

}  // namespace tsly::win
