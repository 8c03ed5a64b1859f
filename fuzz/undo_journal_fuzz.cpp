// A journal read from disk, whatever its bytes, and the undo's use of it:
// the files found again and the renames that put them back.
//
// Invariants:
// - reading never fails but by saying "no journal"; written out again, what
//   was read reads back the same;
// - every rename read has paths the program could have written, all in one
//   folder, and its "D" line's path is in that folder too;
// - each file the undo finds is at a path its rename names (from nothing
//   else), goes back to that rename's first path, and both are in one
//   folder, so that the row's folder and its old name make that path;
// - the undo renames only from such a path to its first path.
#include <map>
#include <set>

#include "core/cut_command.h"
#include "core/undo_plan.h"
#include "core/undo_journal.h"
#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;

std::string_view FolderOf(std::string_view path) {
    const auto parts = SplitPath(path);
    FUZZ_CHECK(parts && !parts->name.empty());
    return parts->folder;
}

// A folder as the undo sees it: the files the journal's renames left, each
// with its identity.
struct Disk : CutListSource, CutEnvironment {
    std::vector<std::string> rows;
    std::vector<RowOutcome> outcomes;
    std::map<std::string, FileId> files;
    std::set<std::pair<std::string, std::string>> allowed;  // current -> original

    std::size_t Count() const override { return rows.size(); }
    const std::string& Caption(std::size_t i) const override { return rows[i]; }
    bool Checked(std::size_t) const override { return true; }
    const RowOutcome& Outcome(std::size_t i) const override { return outcomes[i]; }
    void SetOutcome(std::size_t i, RowOutcome o) override { outcomes[i] = o; }
    void SetPath(std::size_t i, std::string path) override { rows[i] = std::move(path); }
    std::optional<FileId> Identity(const std::string& path) override {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<FileId>(it->second);
    }
    bool MayHold(const std::string& folder, const FileId& id) override {
        for (const auto& [path, file] : files) {
            if (file == id && FolderOf(path) == folder) return true;
        }
        return false;
    }
    CutOptions ReadOptions() override { return {}; }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        FUZZ_CHECK(allowed.count({from, to}));
        if (files.count(to)) return {RenameFailure::NameTaken, 0};
        const auto it = files.find(from);
        if (it == files.end()) return {RenameFailure::NotFound, 0};
        files.emplace(to, it->second);
        files.erase(it);
        return {};
    }
    void Completed() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte tells where each rename's file is: at its first path,
    // its middle one, its last one or where its "D" line says.
    const unsigned where = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto renames = ParseJournal(text);
    if (!renames) return 0;

    std::string again = JournalHeader();
    for (const JournalRename& r : *renames) {
        FUZZ_CHECK(FolderOf(r.to) == FolderOf(r.from));
        FUZZ_CHECK(r.via.empty() || FolderOf(r.via) == FolderOf(r.from));
        FUZZ_CHECK(r.done == !r.now.empty());
        if (r.done) FUZZ_CHECK(FolderOf(r.now) == FolderOf(r.from));
        again += JournalRenameLine(r);
    }
    for (std::size_t i = 0; i < renames->size(); ++i) {
        if ((*renames)[i].done) again += JournalDoneLine(i, (*renames)[i].now);
    }
    const auto reread = ParseJournal(again);
    FUZZ_CHECK(reread && reread->size() == renames->size());
    for (std::size_t i = 0; i < renames->size(); ++i) {
        const JournalRename &a = (*renames)[i], &b = (*reread)[i];
        FUZZ_CHECK(a.id == b.id && a.from == b.from && a.via == b.via && a.to == b.to &&
                   a.done == b.done && a.now == b.now);
    }

    Disk disk;
    for (std::size_t i = 0; i < renames->size(); ++i) {
        const JournalRename& r = (*renames)[i];
        const std::string* at[] = {&r.from, &r.via, &r.to, &r.now};
        const std::string& path = *at[(where >> (i % 4 * 2)) & 3];
        if (r.id && !path.empty()) disk.files.emplace(path, *r.id);
    }
    const auto undo = FindJournalFiles(*renames, [&disk](const std::string& p) { return disk.Identity(p); },
                                       [where](const FileId& id, const std::string& from) { return ((id.file ^ where ^ from.size()) & 1) != 0; });
    CutResult cut;
    for (const JournalUndo& u : undo) {
        bool named = false;
        for (const JournalRename& r : *renames) {
            named = named || (u.original == r.from && (u.current == r.now || u.current == r.to ||
                                                       u.current == r.via));
        }
        FUZZ_CHECK(named);
        FUZZ_CHECK(FolderOf(u.current) == FolderOf(u.original));
        // As the window makes rows of them.
        disk.allowed.emplace(u.current, u.original);
        disk.rows.push_back(u.current);
        disk.outcomes.emplace_back();
        cut.journal.push_back(JournalEntry{disk.rows.size() - 1,
                                           std::string(SplitPath(u.original)->name), u.id});
    }
    UndoCut(disk, disk, cut);
    return 0;
}
