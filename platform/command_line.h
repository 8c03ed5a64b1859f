// The program's parameters in code page 932, read from the system's UTF-16
// command line.
#pragma once

#include <string>
#include <vector>

namespace tsly::win {

// Parameters 1 to N (not the program's own path). A character the code page
// cannot show becomes "?", which names no file: the ANSI command line would
// instead put a look-alike there ("ṡ" as "s"), and so name another file.
std::vector<std::string> CommandLineParameters();

}  // namespace tsly::win
