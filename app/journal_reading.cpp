#include "app/journal_reading.h"

#include <algorithm>

#include "platform/file_system.h"

namespace tsly {

std::optional<std::vector<JournalRename>> ReadRenames(const std::string& text) {
    bool refused = false;
    auto renames = ParseJournal(text, &refused);
    if (renames && renames->empty() && refused) return std::nullopt;
    return renames;
}

std::vector<JournalUndo> FilesOf(const std::vector<JournalRename>& renames,
                                 const std::function<const RenamedFiles&()>& others) {
    win::FileIdentities ids;  // as the cut took them
    return FindJournalFiles(
        renames, [&ids](const std::string& path) { return ids.Of(path); },
        [&others](const FileId& id, const std::string& from) {
            const RenamedFiles& renamed = others();
            auto it = std::lower_bound(renamed.begin(), renamed.end(), std::make_pair(id, std::string()));
            for (; it != renamed.end() && it->first == id; ++it) {
                if (from.empty() || it->second == from) return true;
            }
            return false;
        });
}

std::string EarlierRun(const win::UndoJournalFile& file) {
    const JournalStamp& s = file.stamp();
    return EarlierRunUndoneText(s.month, s.day, s.hour, s.minute);
}

}  // namespace tsly
