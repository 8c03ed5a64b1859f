// The undo journal on disk: the renames of the last cut, written before
// they happen, so that an undo still works after the program was closed or
// died in the middle of a cut.
//
// UTF-8 text, one line a record, fields separated by tabs:
//   Tessalyne undo journal 1                    the first line
//   R <volume> <file index> <from> <via> <to>  a rename about to happen:
//                                               the file, its path before,
//                                               after the first step (or
//                                               empty) and at the end
//   D <n> <now>                                 rename n (from 0) happened;
//                                               the file is at <now>
// Volume and index are hexadecimal, "-" when the identity was not known.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_id.h"

namespace tsly {

struct JournalRename {
    std::optional<FileId> id;
    std::string from, via, to;
    bool done = false;  // a "D" line followed
    std::string now;    // where that line says the file went
};

std::string JournalHeader();
std::string JournalRenameLine(const JournalRename& rename);
std::string JournalDoneLine(std::size_t n, const std::string& now);

// The renames of a journal, or nothing when it is not one this program
// wrote whole: another program's file, a wrong field, a cut-off last line.
std::optional<std::vector<JournalRename>> ParseJournal(std::string_view text);

// One rename to put back, found by the file's identity.
struct JournalUndo {
    std::string current;   // where the file is now
    std::string original;  // where it goes back to
    std::optional<FileId> id;
};

// Where the file of each rename is now: where it was said to go, or at its
// end or its middle path, when the file there is the one renamed; a file
// back at its first path already is left out. A rename that happened, whose file is
// gone, stays in (its undo says so); one that may never have happened (the
// program died before it was marked done) is left out.
std::vector<JournalUndo> FindJournalFiles(
    const std::vector<JournalRename>& renames,
    const std::function<std::optional<FileId>(const std::string&)>& identity);

}  // namespace tsly
