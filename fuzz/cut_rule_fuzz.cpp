// The cutting rule and command on arbitrary paths and options.
//
// Invariants:
// - a new name stays in its folder: the target begins with the path's folder
//   part, adds no separator on a character boundary, no "/", and is not a
//   name of dots and blanks only (which the system reads as "." or "..");
// - with whole characters in, whole characters out (no character split);
// - the first cut gives a ".lnk" name, only for a ".lnk" file, and a target
//   whose stem carries no marker needs no second first cut;
// - a marker is cut exactly when it ends the stem and is switched on (the
//   " - <word>" ones, also before a copy's " (n)", only with
//   cutModernMarker) or begins it (the prefixes, only with
//   cutPrefixMarkers), unless the new name is one the system refuses (told
//   why) or the name it has; without applyToUnmarked nothing else is renamed;
// - a new name is one the system accepts, in the form it stores;
// - the second cut removes exactly the second text, once (and the trailing
//   dots and blanks the system drops);
// - the command renames only checked ".lnk" rows, within their folders, loses
//   no file and replaces none, and reports completion once, last.
#include <map>
#include <set>
#include <vector>

#include "core/cut_command.h"
#include "core/undo_plan.h"
#include "core/cut_rule.h"
#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;
using tsly::fuzz::WholeCharacters;

void CheckStaysInFolder(std::string_view path, const std::string& target) {
    const auto parts = SplitPath(path);
    FUZZ_CHECK(parts.has_value());
    FUZZ_CHECK(target.compare(0, parts->folder.size(), parts->folder) == 0);
    FUZZ_CHECK(utf8::LastSeparator(target) == parts->folder.size() - 1);
    const std::string_view name = std::string_view(target).substr(parts->folder.size());
    FUZZ_CHECK(name.find('/') == std::string_view::npos);
    FUZZ_CHECK(!CheckNewName(name));
    FUZZ_CHECK(StoredName(name) == name);
}

bool EndsWithWhole(std::string_view text, std::string_view m) {
    return text.size() >= m.size() && text.substr(text.size() - m.size()) == m &&
           utf8::IsCharBoundary(text, text.size() - m.size());
}

// True when the name's stem carries a marker that the options cut.
bool StemEndsWithMarker(std::string_view path, const CutOptions& options) {
    const auto parts = SplitPath(path);
    if (!parts || parts->name.size() < 4) return false;
    const std::string_view stem = parts->name.substr(0, parts->name.size() - 4);
    if (EndsWithWhole(stem, kMarkerFullWidth) || EndsWithWhole(stem, kMarkerHalfWidth)) return true;
    // Without a copy's " (n)", if it has one.
    std::string_view unnumbered = stem;
    const std::size_t open = stem.rfind(" (");
    if (open != std::string_view::npos && stem.size() > open + 3 && stem.back() == ')' &&
        stem.find_first_not_of("0123456789", open + 2) == stem.size() - 1) {
        unnumbered = stem.substr(0, open);
    }
    for (std::string_view m : kSuffixMarkers) {
        if (options.cutModernMarker && (EndsWithWhole(stem, m) || EndsWithWhole(unnumbered, m))) return true;
    }
    for (std::string_view m : kPrefixMarkers) {
        if (options.cutPrefixMarkers && stem.substr(0, m.size()) == m) return true;
    }
    return false;
}

void CheckRule(const std::string& path, const CutOptions& options) {
    const bool whole = WholeCharacters(path);
    const auto parts = SplitPath(path);
    const bool marked = parts && HasShortcutExtension(path) &&
                        StemEndsWithMarker(path, options);
    NameProblem problem;
    const auto first = FirstCutTarget(path, options, &problem);
    if (first) FUZZ_CHECK(!problem);
    if (marked && !first && !problem) {  // only when the name would stay as it is
        CutOptions other = options;     // which another R changes
        other.replacement += "x";
        NameProblem otherProblem;
        FUZZ_CHECK(FirstCutTarget(path, other, &otherProblem) || otherProblem);
    }
    if (first && !options.applyToUnmarked) FUZZ_CHECK(marked);
    if (const auto& t = first) {
        FUZZ_CHECK(HasShortcutExtension(path));
        CheckStaysInFolder(path, *t);
        FUZZ_CHECK(t->size() >= 5 && t->compare(t->size() - 4, 4, ".lnk") == 0);
        if (whole && WholeCharacters(options.replacement)) {
            FUZZ_CHECK(WholeCharacters(*t));
            // Cutting again finds nothing more to do, unless R itself ends
            // with a marker.
            if (!StemEndsWithMarker(*t, options)) {
                CutOptions again = options;
                FUZZ_CHECK(!FirstCutTarget(*t, again).has_value());
            }
        }
    }
    if (auto t = SecondCutTarget(path, options)) {
        FUZZ_CHECK(options.cutSecondText && !options.secondText.empty());
        FUZZ_CHECK(HasShortcutExtension(path));
        CheckStaysInFolder(path, *t);
        FUZZ_CHECK(t->size() + options.secondText.size() <= path.size());
        if (whole && WholeCharacters(options.secondText)) FUZZ_CHECK(WholeCharacters(*t));
    }
}

// A folder of files, each with an identity that must survive every rename.
struct Bench : CutListSource, CutEnvironment {
    std::vector<std::string> captions;
    std::vector<bool> checked;
    std::vector<RowOutcome> outcomes;
    CutOptions options;
    std::map<std::string, int> files;  // path -> identity
    int completed = 0;
    bool renamedAfterCompletion = false;

    std::size_t Count() const override { return captions.size(); }
    const std::string& Caption(std::size_t i) const override { return captions[i]; }
    bool Checked(std::size_t i) const override { return checked[i]; }
    const RowOutcome& Outcome(std::size_t i) const override { return outcomes.at(i); }
    void SetOutcome(std::size_t i, RowOutcome o) override { outcomes.at(i) = o; }
    void SetPath(std::size_t i, std::string path) override { captions.at(i) = std::move(path); }
    std::optional<FileId> Identity(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return FileId{1, static_cast<std::uint64_t>(it->second)};
    }
    bool MayHold(const std::string& folder, const FileId& id) override {
        for (const auto& [path, file] : files) {
            if (id == FileId{1, static_cast<std::uint64_t>(file)} && path.rfind(folder, 0) == 0) return true;
        }
        return false;
    }
    CutOptions ReadOptions() override { return options; }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        if (completed) renamedAfterCompletion = true;
        if (undoing) {
            // From a name a cut gave back to a name a cut took away.
            bool gave = false, took = false;
            for (const auto& [a, b] : done) gave |= b == from, took |= a == to;
            FUZZ_CHECK(gave && took);
            return Move(from, to);
        }
        // Only a checked shortcut row, or where its first cut took it.
        bool allowed = false;
        for (std::size_t i = 0; i < captions.size(); ++i) {
            if (!checked[i] || !HasShortcutExtension(captions[i])) continue;
            const auto first = FirstCutTarget(captions[i], options);
            if (from == captions[i] || (first && from == *first)) allowed = true;
        }
        FUZZ_CHECK(allowed);
        CheckStaysInFolder(from, to);
        return Move(from, to);
    }
    bool undoing = false;
    std::multiset<std::pair<std::string, std::string>> done;  // (from, to) renames
    RenameResult Move(const std::string& from, const std::string& to) {
        const auto it = files.find(from);
        if (it == files.end()) return {RenameFailure::NotFound, 2};
        if (files.count(to)) return {RenameFailure::NameTaken, 183};
        const int id = it->second;
        files.erase(it);
        files.emplace(to, id);
        if (!undoing) done.insert({from, to});
        return {};
    }
    void Completed() override { ++completed; }
    // The second run's renames come after the first run's completion.
    void NextRun() { completed = 0; }
};

void CheckCommand(FuzzedDataProvider& data, const CutOptions& options) {
    Bench bench;
    bench.options = options;
    const std::string folder = data.ConsumeBool() ? "C:\\表\\" : "C:\\a\\";
    const std::size_t rows = data.ConsumeIntegralInRange<std::size_t>(0, 6);
    std::set<std::string> seen;
    for (std::size_t i = 0; i < rows && data.remaining_bytes() > 0; ++i) {
        std::string caption = folder + fuzz::WholeText(data, 4);
        if (!seen.insert(caption).second) continue;
        bench.captions.push_back(caption);
        bench.checked.push_back(data.ConsumeBool());
        bench.outcomes.emplace_back();
        if (data.ConsumeIntegralInRange(0, 3) != 0) {
            bench.files.emplace(caption, static_cast<int>(bench.files.size()));
        }
    }
    // Files that are not listed, some of them in the way of a new name.
    const std::size_t others = data.ConsumeIntegralInRange<std::size_t>(0, 3);
    for (std::size_t i = 0; i < others && data.remaining_bytes() > 0; ++i) {
        bench.files.emplace(folder + fuzz::WholeText(data, 3),
                            static_cast<int>(bench.files.size()) + 1000);
    }
    const auto before = bench.files;
    const auto listed = bench.captions;

    // Twice, as at a start with parameters: one cut for outcomes and undo.
    CutResult cut;
    for (int run = 0; run < 2; ++run) {
        bench.NextRun();
        CutResult result = RunCutCommand(bench, bench, run ? &cut : nullptr);
        cut = std::move(result);
        FUZZ_CHECK(bench.completed == 1);
    }
    FUZZ_CHECK(!bench.renamedAfterCompletion);
    FUZZ_CHECK(cut.journal.size() <= bench.done.size());  // one entry a row
    for (std::size_t i = 0; i < bench.captions.size(); ++i) {
        // Unticked rows show nothing; a renamed row shows its file's name.
        if (!bench.checked[i]) FUZZ_CHECK(bench.outcomes[i].kind == OutcomeKind::None);
        if (bench.outcomes[i].kind == OutcomeKind::Renamed) {
            FUZZ_CHECK(bench.files.count(bench.captions[i]) == 1);
        }
    }
    FUZZ_CHECK(bench.files.size() == before.size());
    std::set<int> ids;
    for (const auto& [path, id] : bench.files) ids.insert(id);
    FUZZ_CHECK(ids.size() == before.size());
    // Unchecked rows, rows that are no shortcut and unlisted files keep
    // their names.
    for (const auto& [path, id] : before) {
        bool mayMove = false;
        for (std::size_t i = 0; i < bench.captions.size(); ++i) {
            if (listed[i] == path && bench.checked[i] && HasShortcutExtension(path)) {
                mayMove = true;
            }
        }
        if (!mayMove) FUZZ_CHECK(bench.files.count(path) && bench.files.at(path) == id);
    }

    // Undo puts every file back where nothing took its name, and loses none.
    bench.undoing = true;
    bench.NextRun();
    const UndoResult undo = UndoCut(bench, bench, cut);
    FUZZ_CHECK(cut.journal.size() == undo.waiting);  // only rows to try again stay
    FUZZ_CHECK(bench.files.size() == before.size());
    std::set<int> after;
    for (const auto& [path, id] : bench.files) after.insert(id);
    FUZZ_CHECK(after.size() == before.size());
    if (undo.failed == 0) FUZZ_CHECK(bench.files == before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    CutOptions options;
    options.replacement = fuzz::AnyText(data, 3);
    options.applyToUnmarked = data.ConsumeBool();
    options.cutModernMarker = data.ConsumeBool();
    options.cutPrefixMarkers = data.ConsumeBool();
    options.cutSecondText = data.ConsumeBool();
    options.secondText = fuzz::AnyText(data, 2);
    std::string path = fuzz::AnyText(data, 8);
    CheckRule(path, options);
    CheckRule("C:\\Data\\" + path, options);
    CheckCommand(data, options);
    return 0;
}
