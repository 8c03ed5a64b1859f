// What a folder tree holds: every file's path below the root and its
// content, read through the ANSI file calls as the program sees them.
#pragma once

#include <map>
#include <string>

namespace tsly::test {

// Relative path -> content, for every file below `root` (ending in "\"),
// dot-folders included.
std::map<std::string, std::string> Snapshot(const std::string& root);

// The folder part of a relative path, up to and including its last "\".
std::string FolderOf(const std::string& relative);

}  // namespace tsly::test
