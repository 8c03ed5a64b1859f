// One undo journal's file, held open by the window that made or took it:
// other windows may read it, never write or delete it, so that two windows
// never undo one cut or lose each other's journals.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/undo_journal.h"
#include "platform/handles.h"

namespace tsly::win {

// %LOCALAPPDATA%\moravend\Tessalyne; empty when the folder is unknown.
std::string UndoJournalFolder();

// The journals in `folder`, newest first, as full paths.
std::vector<std::string> ListJournals(const std::string& folder);

// The text of a journal whoever holds it (read only); empty when it cannot
// be read.
std::string ReadJournal(const std::string& path);

class UndoJournalFile {
public:
    // A new journal in `folder` with the time of `stamp` (now when none);
    // nothing when it cannot be made.
    static std::unique_ptr<UndoJournalFile> CreateNew(const std::string& folder,
                                                      const std::optional<JournalStamp>& stamp = {});
    // The journal at `path`, when no running window holds it. `patient`:
    // another window that only looks at it for a moment is waited for.
    static std::unique_ptr<UndoJournalFile> Claim(const std::string& path, bool patient = false);

    const std::string& path() const { return path_; }
    // The time of its cut: from its name, or the old journal's last write.
    const JournalStamp& stamp() const { return stamp_; }
    // Appends `text`; with `flush`, it is on the disk when this returns.
    void Append(const std::string& text, bool flush);
    // The text from the start, at most `limit` bytes.
    std::string Read(std::size_t limit = static_cast<std::size_t>(-1));
    // Lets go of the file and deletes it.
    void Delete();
    // Lets go of the file and renames it to "<name>.bad", replacing an
    // older one; false when it could not be renamed (it stays, and is no
    // journal the undo follows).
    bool SetAside();
    // The number of renames written to it.
    std::size_t renames = 0;

private:
    UndoJournalFile(std::string path, UniqueHandle handle, JournalStamp stamp)
        : path_(std::move(path)), handle_(std::move(handle)), stamp_(stamp) {}

    std::string path_;
    UniqueHandle handle_;
    JournalStamp stamp_;
};

}  // namespace tsly::win
