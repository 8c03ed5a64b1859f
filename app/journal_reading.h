// A journal read for its undo: its renames, where their files are now
// (found again by their identities), and whose it is. The undo and the
// history ask here alike.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/file_id.h"
#include "core/undo_journal.h"
#include "platform/undo_journal_file.h"

namespace tsly {

// What a journal holds: its renames, or nothing when it is no journal or
// holds no line the program would write.
std::optional<std::vector<JournalRename>> ReadRenames(const std::string& text);

// The files the newer cuts renamed, each with the path it was renamed from
// (empty where it is not known), sorted.
using RenamedFiles = std::vector<std::pair<FileId, std::string>>;

// A journal's renames as rows to undo, each file found again by its
// identity. `others`: the files the newer cuts' journals say they renamed,
// asked for only when needed.
std::vector<JournalUndo> FilesOf(const std::vector<JournalRename>& renames,
                                 const std::function<const RenamedFiles&()>& others);

// The status text of an undo of the journal of an earlier run.
std::string EarlierRun(const win::UndoJournalFile& file);

}  // namespace tsly
