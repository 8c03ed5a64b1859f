// The undo journals on disk: one file a cut, its renames written before
// they happen, so that an undo still works after the program was closed or
// died in the middle of a cut.
//
// UTF-8 text, one line a record, fields separated by tabs:
//   Tessalyne undo journal 2                    the first line
//   R <volume> <file index> <from> <via> <to> <crc>
//                                               a rename about to happen:
//                                               the file, its path before,
//                                               after the first step (or
//                                               empty) and at the end
//   D <n> <now> <crc>                           rename n (from 0) happened;
//                                               the file is at <now>
// Volume and index are hexadecimal, "-" when the identity was not known;
// <crc> is the CRC-32 of the line before its last tab, in hexadecimal.
// Journals of version 1 have the same lines without the checksum.
#pragma once

#include <cstddef>
#include <cstdint>
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
    bool checked = false;  // read from a line with its checksum
};

std::string JournalHeader();
std::string JournalRenameLine(const JournalRename& rename);
std::string JournalDoneLine(std::size_t n, const std::string& now);

// The renames of a journal, or nothing when it is not a journal at all (a
// wrong first line). The lines are read up to the first that is cut off,
// padded, fails its checksum or holds a wrong field: a torn tail only means
// the program died while writing it, and the identities find the files of
// the renames it was about to make. `refused`, when given, tells whether the
// reading stopped at a whole line it would not take (a journal that took no
// line but refused one is no journal the program wrote).
std::optional<std::vector<JournalRename>> ParseJournal(std::string_view text, bool* refused = nullptr);

// Whether the start of a file (its first line, or all of it when shorter)
// is that of a journal: an empty file, or one cut off inside its first
// line, is a journal the program died making.
bool LooksLikeJournal(std::string_view start);

// The journals' file names: "undo-<yyyymmdd>-<hhmmssmmm>-<process>-<n>.log",
// in fixed widths, so that they sort as the times of their cuts; n (three
// digits) tells apart journals of one process made in the same millisecond. "undo.log" is the one journal of
// version 1, older than any of these.
struct JournalStamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    std::uint32_t process = 0;
    unsigned n = 0;
};
inline constexpr std::string_view kOldJournalName = "undo.log";
std::string JournalFileName(const JournalStamp& stamp);
// The stamp of a journal's file name; nothing for any other name (and for
// the old journal, which has none).
std::optional<JournalStamp> ParseJournalFileName(std::string_view name);
// The journals among `names`, newest first (the old one last).
std::vector<std::string> JournalsNewestFirst(std::vector<std::string> names);
// How many journals the folder keeps; older ones are deleted.
inline constexpr std::size_t kJournalsKept = 10;

// The status text of an undo that took a journal of an earlier run.
std::string EarlierRunUndoneText(int month, int day, int hour, int minute);
// The status text of an undo asked for when nothing is left to undo.
std::string NothingToUndoText();

// One rename to put back, found by the file's identity.
struct JournalUndo {
    std::string current;   // where the file is now
    std::string original;  // where it goes back to
    std::optional<FileId> id;
    bool proven = false;   // by an identity read from a checked line
};

// Where the file of each rename is now: where it was said to go, or at its
// end or its middle path, when the file there is the one renamed; a file
// back at its first path already is left out. A rename that happened, whose
// file is gone, stays in (its undo says so); one that may never have
// happened (the program died before it was marked done) is left out, and
// so is one whose file another cut's journal says it renamed (that cut
// took the name this one died before taking). `renamedElsewhere(id, from)`:
// whether a newer cut renamed the file, from the path `from` (any path when
// empty). A rename that happened is left out too when a newer cut renamed
// its file from its first path: the file was back there (an undo that died
// before it said so), and its name now is that cut's to undo.
std::vector<JournalUndo> FindJournalFiles(
    const std::vector<JournalRename>& renames,
    const std::function<std::optional<FileId>(const std::string&)>& identity,
    const std::function<bool(const FileId&, const std::string& from)>& renamedElsewhere = {});

}  // namespace tsly
