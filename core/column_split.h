// How the list's two columns share its width: the paths, and what a cut
// would do or did to each file ("結果").
#pragma once

#include <string>
#include <string_view>

namespace tsly {

// The path column's width on a list `list` pixels wide, given the width the
// user chose for it and what the rows' texts need: `pathNeed` for a path
// shortened in its middle to its shortest (PathAtShortest), `resultNeed`
// for "結果". The chosen width while "結果" fits beside it; else the
// paths give way as far as "結果" then fits, down to what they need; when
// even that cannot be, "結果" still reads whole. The choice itself is kept
// for when the list grows again.
int PathColumnWidth(int list, int chosen, int pathNeed, int resultNeed);

// A path shortened in its middle as far as it goes: its root, "..." and its
// file name ("C:\...\メモ帳.lnk"), the way the shell shortens paths; the
// path itself when nothing lies between the two.
std::string PathAtShortest(std::string_view path);

}  // namespace tsly
