// The undo journal's file: kept up to date during a cut with appends and
// flushes, written anew after an undo, read back at start-up.
#pragma once

#include <optional>
#include <string>

#include "platform/handles.h"

namespace tsly::win {

class UndoJournalFile {
public:
    explicit UndoJournalFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    // Opens the file for a cut: emptied and headed, or, for a cut that
    // goes on with the last one, as it is.
    void Begin(bool goOn);
    // Appends `text`; with `flush`, it is on the disk when this returns.
    void Append(const std::string& text, bool flush);
    void End() { handle_.reset(); }
    // The number of renames written since the last Begin without `goOn`.
    std::size_t renames = 0;

    // Replaces the file with `text` as one piece, never leaving it half
    // written.
    void Replace(const std::string& text);
    void Remove();
    // The file's text, or nothing when there is none.
    std::optional<std::string> Read() const;
    // Renames it to "<name>.bad", replacing an older one.
    void SetAside();

private:
    std::string path_;
    UniqueHandle handle_;
};

}  // namespace tsly::win
