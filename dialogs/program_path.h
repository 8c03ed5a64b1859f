// Where the running program lives.
#pragma once

#include <string>

namespace tsly {

// The executable's full path; empty when the system cannot give it.
std::string ProgramPath();
// The folder that holds the executable, ending in "\".
std::string ProgramFolder();

}  // namespace tsly
