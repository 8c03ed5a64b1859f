// How the status bar's two parts share its width: the left one says what
// is happening, the right one holds the counts.
#pragma once

namespace tsly {

// The left part's width on a bar `bar` pixels wide, given the widths the
// two texts need: `preferred` while both fit beside each other so, else
// moved as far as both then fit; when they cannot both fit, the right text
// (the counts) reads whole and the left part gets what is left, if any.
int LeftPartWidth(int bar, int preferred, int leftNeed, int rightNeed);

}  // namespace tsly
