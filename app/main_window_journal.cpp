// The main window and the undo journal on disk.
#include <windows.h>

#include <string>

#include "app/Unit1.h"
#include "core/cut_rule.h"
#include "core/undo_journal.h"
#include "platform/application.h"
#include "platform/file_system.h"

namespace tsly {
namespace {

// The journal is never followed blindly: one this program did not write
// whole is set aside, and the user told once.
void ReportUnreadable(win::UndoJournalFile& journal) {
    journal.SetAside();
    win::Application::Instance().ShowMessage(
        "元に戻すための記録を読めませんでした。\n" + journal.path() + ".bad として残しました。");
}

}  // namespace

void TFrmMain::CheckJournalAtStart() {
    const std::optional<std::string> text = journal_.Read();
    // An empty file holds nothing to undo (the program died as it made it).
    if (!text || text->empty()) return;
    const auto renames = ParseJournal(*text);
    if (!renames) {
        ReportUnreadable(journal_);
        return;
    }
    journalOnDisk_ = !renames->empty();
}

bool TFrmMain::LoadJournalRows() {
    const std::optional<std::string> text = journal_.Read();
    const auto renames = text ? ParseJournal(*text) : std::nullopt;
    if (text && !renames) ReportUnreadable(journal_);
    journalOnDisk_ = false;
    if (renames) {
        // Each file the journal finds becomes a row (or is the row that
        // lists it already), to show what its undo did.
        ShortcutListModel& model = listView_.model();
        win::FileIdentities ids;  // as the cut took them
        for (JournalUndo& undo :
             FindJournalFiles(*renames, [&ids](const std::string& path) { return ids.Of(path); })) {
            std::size_t row = model.IndexOf(undo.current);
            if (row == std::string::npos) {
                row = model.Count();
                model.Register(std::string(undo.current));
            }
            lastCut_.journal.push_back(
                JournalEntry{row, std::string(SplitPath(undo.original)->name), undo.id});
        }
        listView_.SyncCount();
    }
    if (lastCut_.journal.empty()) journal_.Remove();  // nothing of it is left to undo
    UpdateCommandStates();
    return !lastCut_.journal.empty();
}

void TFrmMain::WriteJournalFromMemory() {
    journalOnDisk_ = !lastCut_.journal.empty();
    if (!journalOnDisk_) {
        journal_.Remove();
        return;
    }
    // What is left to undo, every rename of it done.
    const ShortcutListModel& model = listView_.model();
    std::string text = JournalHeader();
    std::string done;
    std::size_t n = 0;
    for (const JournalEntry& entry : lastCut_.journal) {
        if (entry.row >= model.Count()) continue;
        const std::string& now = model.Caption(entry.row);
        text += JournalRenameLine(
            JournalRename{entry.id, std::string(SplitPath(now)->folder) + entry.originalName, {}, now, false, {}});
        done += JournalDoneLine(n++, now);
    }
    journal_.Replace(text + done);
}

}  // namespace tsly
