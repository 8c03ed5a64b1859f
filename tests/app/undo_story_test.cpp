// A user at random, with the real tsly.exe: Send To starts, second windows,
// cuts, Ctrl+Z, クリア, option changes, kills in the middle of a cut or an
// undo, restarts and torn journals, drawn from a seed, against a model of
// the disk. After each step every file has the name the model gives it
// (nothing renamed that no row asked for, nothing lost), and Ctrl+Z puts
// back exactly the names before the newest cut not yet undone.
// TSLY_RANDOM_RUNS=n plays n more seeds.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include "app/main_commands.h"
#include "platform/undo_journal_file.h"
#include "tests/app/harness.h"
#include "tests/app/running_program.h"

namespace tsly {
namespace {

using test::RunningProgram;
using test::U;
using test::W;

constexpr int kFiles = 300;
const char* const kMarkers[] = {" - ショートカット", "へのショートカット", "へのｼｮｰﾄｶｯﾄ"};
const char* const kReplacements[] = {"", "済", "x y"};

using Disk = std::map<int, std::string>;  // a file's number (its content) -> its name

// The files whose names differ: "n: on disk / in the model".
std::string Differences(const Disk& disk, const Disk& model) {
    std::string text;
    for (const auto& [n, name] : model) {
        const auto it = disk.find(n);
        const std::string now = it == disk.end() ? "(lost)" : it->second;
        if (now != name) text += std::to_string(n) + ": " + now + " / " + name + "\n";
    }
    if (disk.size() != model.size()) text += "files: " + std::to_string(disk.size()) + "\n";
    return text;
}

class UndoStory {
public:
    explicit UndoStory(unsigned seed) : random_(seed) {
        for (int n = 0; n < kFiles; ++n) {
            disk_[n] = std::to_string(n) + kMarkers[n % 3] + ".lnk";
            dir_.Make(disk_[n], std::to_string(n));
        }
    }
    ~UndoStory() {
        for (Window& w : windows_) w.program->Kill();
    }

    // Plays `steps` actions; false (with the failure told) when the disk
    // and the model part.
    void Play(int steps) {
        struct Action {
            const char* name;
            int weight;
            void (UndoStory::*run)();
        };
        static constexpr Action kActions[] = {
            {"send to", 5, &UndoStory::SendTo},
            {"send to nothing to rename", 1, &UndoStory::SendToNothing},
            {"send to, killed mid-cut", 2, &UndoStory::SendToKilled},
            {"two send to at once, killed", 1, &UndoStory::TwoAtOnceKilled},
            {"cut again", 2, &UndoStory::CutAgain},
            {"ctrl+z", 6, &UndoStory::Undo},
            {"ctrl+z, killed mid-undo", 1, &UndoStory::UndoKilled},
            {"ctrl+z, a file held", 2, &UndoStory::UndoHeld},
            {"クリア", 1, &UndoStory::Clear},
            {"options", 1, &UndoStory::Options},
            {"close", 1, &UndoStory::Close},
            {"kill", 1, &UndoStory::Kill},
            {"start empty", 1, &UndoStory::StartEmpty},
            {"torn journal", 1, &UndoStory::TearJournal},
        };
        int total = 0;
        for (const Action& a : kActions) total += a.weight;
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            int pick = Pick(total);
            const Action* action = kActions;
            while (pick >= action->weight) pick -= (action++)->weight;
            SCOPED_TRACE(std::to_string(step) + ": " + action->name);
            (this->*action->run)();
            ASSERT_EQ(Differences(OnDisk(), disk_), "");
        }
        // However it went, every cut still outstanding can be undone.
        while (!cuts_.empty() && !::testing::Test::HasFailure()) {
            SCOPED_TRACE("the rest undone");
            if (windows_.empty()) StartEmpty();
            windows_.erase(windows_.begin(), windows_.end() - 1);  // its own are gone with the rest
            Undo();
            ASSERT_EQ(Differences(OnDisk(), disk_), "");
        }
    }

private:
    struct Window {
        std::unique_ptr<RunningProgram> program;
        int id = 0;  // process ids come back soon after a process ends
        HWND hwnd = nullptr;
        std::map<int, std::string> rows;  // the files it lists, under the names it knows
    };
    struct Cut {
        int seq;
        int owner;       // the window whose journal it is, while it runs
        Disk before;     // the names of the files it renamed
        bool earlier = false;  // taken over from an earlier run: its undo says so
    };

    int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    Window& AnyWindow() { return windows_[Pick(static_cast<int>(windows_.size()))]; }
    std::string Path(const std::string& name) const { return dir_.path() + name; }
    static bool Cuttable(const std::string& name) {
        for (const char* m : kMarkers) {
            if (name.find(m) != std::string::npos) return true;
        }
        return false;
    }
    std::string CutName(int n) const { return std::to_string(n) + " " + replacement_ + ".lnk"; }
    bool Alive(int id) const {
        return std::any_of(windows_.begin(), windows_.end(), [id](const Window& w) { return w.id == id; });
    }
    bool AliveProcess(DWORD pid) const {
        return std::any_of(windows_.begin(), windows_.end(),
                           [pid](const Window& w) { return w.program->pid() == pid; });
    }

    // The files by their content, or, while waiting for a rename, by the
    // number their names begin with (a rename keeps it).
    Disk OnDisk(bool byContent = true) const {
        Disk disk;
        for (const std::string& name : dir_.Names()) {
            char text[16] = {};
            if (byContent) {
                HANDLE h = CreateFileW(W(Path(name)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
                DWORD read = 0;
                ReadFile(h, text, sizeof text - 1, &read, nullptr);
                CloseHandle(h);
            }
            disk[std::atoi(byContent ? text : name.c_str())] = name;
        }
        return disk;
    }

    // Up to `most` files that a cut would rename, at random.
    std::vector<int> SomeCuttable(std::size_t most) {
        std::vector<int> files;
        for (const auto& [n, name] : disk_) {
            if (Cuttable(name)) files.push_back(n);
        }
        std::shuffle(files.begin(), files.end(), random_);
        files.resize(std::min(files.size(), most));
        return files;
    }

    // A window started with `files` (and `extra` paths): it cuts them at once.
    Window& Start(const std::vector<int>& files, std::vector<std::string> extra = {}) {
        if (windows_.size() >= 3) Close();
        Window w;
        w.id = ++windows_made_;
        for (int n : files) {
            extra.push_back(Path(disk_[n]));
            w.rows[n] = disk_[n];
        }
        w.program = std::make_unique<RunningProgram>(extra);
        windows_.push_back(std::move(w));
        return windows_.back();
    }
    void WaitShown(Window& w) {
        w.hwnd = w.program->WaitForMainWindow();
        ASSERT_TRUE(w.hwnd);
    }
    // The start-up cut is through: its text is shown and the window takes
    // messages again.
    void WaitCut(Window& w) {
        WaitShown(w);
        ASSERT_TRUE(test::WaitForText(w.hwnd, "処理は終了しました。")) << test::StatusText(w.hwnd);
        SendMessageTimeoutW(w.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, nullptr);
    }
    // The model of a cut over `rows`: every row whose file is where the row
    // says and has a marker gets the new name.
    void ModelCut(Window& w, int seq) {
        Cut cut{seq, w.id, {}};
        for (auto& [n, name] : w.rows) {
            if (disk_[n] != name || !Cuttable(name)) continue;
            cut.before[n] = name;
            name = disk_[n] = CutName(n);
        }
        if (!cut.before.empty()) cuts_.push_back(std::move(cut));
    }
    // After a kill: the files of `rows` that the disk shows renamed.
    void ModelKilledCut(Window& w, const Disk& now, int seq) {
        Cut cut{seq, w.id, {}};
        for (auto& [n, name] : w.rows) {
            if (now.at(n) == name) continue;
            ASSERT_EQ(now.at(n), CutName(n));
            cut.before[n] = name;
            disk_[n] = now.at(n);
        }
        if (!cut.before.empty()) cuts_.push_back(std::move(cut));
    }
    std::size_t Renamed(const Window& w) const {
        const Disk now = OnDisk(false);
        // A listing taken during renames may miss a file: it counts as not yet.
        return std::count_if(w.rows.begin(), w.rows.end(), [&](const auto& row) {
            const auto it = now.find(row.first);
            return it != now.end() && it->second != row.second;
        });
    }
    void Forget(Window& w) {
        w.program->Kill();
        windows_.erase(windows_.begin() + (&w - windows_.data()));
    }

    // Too many cuts to keep, or nothing left to cut: Ctrl+Z instead.
    bool Full(std::size_t files) const {
        const auto cuttable = std::count_if(disk_.begin(), disk_.end(), [](const auto& f) { return Cuttable(f.second); });
        return cuts_.size() >= kJournalsKept - 2 || static_cast<std::size_t>(cuttable) < files;
    }

    void SendTo() {
        if (Full(8)) return Undo();
        Window& w = Start(SomeCuttable(1 + Pick(8)));
        WaitCut(w);
        ModelCut(w, ++seq_);
    }
    // Every row fails or stays: no journal is made, and none is lost.
    void SendToNothing() {
        Window& w = Start({}, {Path("gone - ショートカット.lnk")});
        WaitCut(w);
    }
    void SendToKilled() {
        if (Full(20)) return Undo();
        Window& w = Start(SomeCuttable(150));
        const std::size_t at = 1 + Pick(static_cast<int>(w.rows.size()));
        ASSERT_TRUE(test::PumpUntil([&] { return Renamed(w) >= at; }, 30000));
        w.program->Kill();
        ModelKilledCut(w, OnDisk(), ++seq_);
        Forget(w);
    }
    // Two cuts at once: each keeps its own journal.
    void TwoAtOnceKilled() {
        if (Full(40)) return Undo();
        while (windows_.size() > 1) Close();
        const std::vector<int> files = SomeCuttable(160);
        const std::vector<int> first(files.begin(), files.begin() + files.size() / 2);
        Start(first);
        Start(std::vector<int>(files.begin() + first.size(), files.end()));
        Window* both[] = {&windows_[windows_.size() - 2], &windows_.back()};
        ASSERT_TRUE(test::PumpUntil([&] { return Renamed(*both[0]) > 0 && Renamed(*both[1]) > 0; }, 30000));
        for (Window* w : both) w->program->Kill();
        const Disk now = OnDisk();
        ++seq_;  // at the same time: either may be the newer
        for (Window* w : both) ModelKilledCut(*w, now, seq_);
        Forget(*both[1]);
        Forget(windows_.back());
    }
    void CutAgain() {
        if (windows_.empty() || Full(0)) return;
        Window& w = AnyWindow();
        SendMessageTimeoutW(w.hwnd, WM_COMMAND, kCmdCutShortcut, 0, SMTO_NORMAL, 60000, nullptr);
        ModelCut(w, ++seq_);
    }

    // The cut Ctrl+Z in `w` undoes: its own newest, else the newest whose
    // window is gone; nothing when there is none.
    std::vector<Cut>::iterator UndoTarget(const Window& w, bool* own) {
        auto best = cuts_.end();
        for (auto it = cuts_.begin(); it != cuts_.end(); ++it) {
            if (it->owner == w.id && (best == cuts_.end() || it->seq > best->seq)) best = it;
        }
        *own = best != cuts_.end();
        if (*own) return best;
        for (auto it = cuts_.begin(); it != cuts_.end(); ++it) {
            if (!Alive(it->owner) && (best == cuts_.end() || it->seq > best->seq)) best = it;
        }
        return best;
    }
    // Two cuts made at once are both the newest of their windows: either
    // may be taken.
    bool Tied(std::vector<Cut>::iterator target) const {
        return std::count_if(cuts_.begin(), cuts_.end(), [&](const Cut& c) {
                   return c.seq == target->seq && !Alive(c.owner);
               }) > 1;
    }
    // The files of `cut` that `now` shows back; a cut all back is done.
    void ModelUndone(Window& w, std::vector<Cut>::iterator cut, const Disk& now) {
        for (auto it = cut->before.begin(); it != cut->before.end();) {
            if (now.at(it->first) == it->second) {
                disk_[it->first] = w.rows[it->first] = it->second;
                it = cut->before.erase(it);
            } else {
                ++it;
            }
        }
        if (cut->before.empty()) cuts_.erase(cut);
    }
    void Undo() {
        if (windows_.empty()) StartEmpty();
        Window& w = AnyWindow();
        bool own = false;
        auto target = UndoTarget(w, &own);
        const std::string before = test::StatusText(w.hwnd);
        SendMessageTimeoutW(w.hwnd, WM_COMMAND, kCmdUndo, 0, SMTO_NORMAL, 60000, nullptr);
        if (target == cuts_.end()) {
            EXPECT_EQ(test::StatusText(w.hwnd), before);
            return;
        }
        const Disk now = OnDisk();
        if (!own && Tied(target)) {
            for (auto it = cuts_.begin(); it != cuts_.end(); ++it) {
                const auto& first = *it->before.begin();
                if (it->seq == target->seq && now.at(first.first) == first.second) target = it;
            }
        }
        const std::size_t count = cuts_.size();
        const bool earlier = !own || target->earlier;
        ModelUndone(w, target, now);
        EXPECT_EQ(cuts_.size(), count - 1) << "some of its files are not back";
        EXPECT_EQ(test::StatusText(w.hwnd).rfind(earlier ? "前回の実行（" : "元に戻しました。", 0), 0u)
            << test::StatusText(w.hwnd);
    }
    // Another program holds a file of the cut: the rest comes back, and the
    // window keeps that one for its next Ctrl+Z, which puts it back first.
    void UndoHeld() {
        if (windows_.empty()) StartEmpty();
        Window& w = AnyWindow();
        bool own = false;
        auto target = UndoTarget(w, &own);
        if (target == cuts_.end() || (!own && Tied(target))) return Undo();
        const int held = target->before.begin()->first;
        HANDLE h = CreateFileW(W(Path(disk_[held])).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SendMessageTimeoutW(w.hwnd, WM_COMMAND, kCmdUndo, 0, SMTO_NORMAL, 60000, nullptr);
        CloseHandle(h);
        const std::size_t count = cuts_.size();
        ModelUndone(w, target, OnDisk());
        ASSERT_EQ(cuts_.size(), count);
        EXPECT_EQ(target->before.size(), 1u);
        target->earlier = target->earlier || !own;
        target->owner = w.id;  // what is left is the window's now
        EXPECT_NE(test::StatusText(w.hwnd).find("戻せませんでした"), std::string::npos) << test::StatusText(w.hwnd);
    }
    void UndoKilled() {
        if (windows_.empty()) return;
        Window& w = windows_.back();
        bool own = false;
        const auto target = UndoTarget(w, &own);
        if (target == cuts_.end() || target->before.size() < 20 || (!own && Tied(target))) return Undo();
        const Disk before = OnDisk();
        PostMessageW(w.hwnd, WM_COMMAND, kCmdUndo, 0);
        const Cut& cut = *target;
        ASSERT_TRUE(test::PumpUntil([&] {
            const Disk now = OnDisk(false);
            return std::any_of(cut.before.begin(), cut.before.end(), [&](const auto& f) {
                const auto it = now.find(f.first);
                return it != now.end() && it->second == f.second;
            });
        }, 30000));
        w.program->Kill();
        ModelUndone(w, target, OnDisk());
        Forget(w);
    }
    void Clear() {
        if (windows_.empty()) return;
        Window& w = AnyWindow();
        SendMessageTimeoutW(w.hwnd, WM_COMMAND, kCmdClearList, 0, SMTO_NORMAL, 20000, nullptr);
        w.rows.clear();
    }
    void Options() {
        replacement_ = kReplacements[Pick(3)];
        test::WriteRegText(test::kOptionsKey, "Char", replacement_);
    }
    void Close() {
        if (windows_.empty()) return;
        Window& w = AnyWindow();
        PostMessageW(w.hwnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(w.program->WaitForExit());
        Forget(w);
    }
    void Kill() {
        if (windows_.empty()) return;
        Forget(AnyWindow());
    }
    void StartEmpty() {
        Window& w = Start({});
        WaitShown(w);
    }
    // A power cut in the middle of the journal's last write: the lines
    // after its last planned rename torn, or padded with zeros.
    void TearJournal() {
        const std::string folder = win::UndoJournalFolder();
        for (const std::string& name : test::UndoJournalNames()) {
            const auto stamp = ParseJournalFileName(name);
            if (!stamp || AliveProcess(stamp->process)) continue;
            const std::wstring path = W(folder + "\\" + name);
            HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            std::string text(GetFileSize(h, nullptr), '\0');
            DWORD done = 0;
            ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
            const std::size_t lastPlan = text.rfind("\nR\t");
            if (lastPlan == std::string::npos) {
                CloseHandle(h);
                continue;
            }
            const std::size_t from = text.find('\n', lastPlan + 1) + 1;
            const std::size_t at = from + Pick(static_cast<int>(text.size() - from) + 1);
            SetFilePointer(h, static_cast<LONG>(at), nullptr, FILE_BEGIN);
            if (Pick(2) == 0) {
                const std::string zeros(text.size() - at, '\0');
                WriteFile(h, zeros.data(), static_cast<DWORD>(zeros.size()), &done, nullptr);
            }
            SetEndOfFile(h);
            CloseHandle(h);
            return;
        }
    }

    test::TempDir dir_;
    std::mt19937 random_;
    Disk disk_;
    std::vector<Window> windows_;
    std::vector<Cut> cuts_;  // not yet undone, oldest first
    int seq_ = 0;
    int windows_made_ = 0;
    std::string replacement_;
};

TEST(UndoStory, EveryCutComesBackWhateverTheUserDid) {
    std::vector<unsigned> seeds = {11, 23};
    if (const char* seed = std::getenv("TSLY_SEED")) seeds = {static_cast<unsigned>(std::strtoul(seed, nullptr, 10))};
    if (const char* runs = std::getenv("TSLY_RANDOM_RUNS")) {
        for (int i = 0, n = std::atoi(runs); i < n; ++i) seeds.push_back(std::random_device{}());
    }
    for (unsigned seed : seeds) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        test::CleanRegistry registry;
        test::RemoveUndoJournals();
        UndoStory story(seed);
        story.Play(15 + static_cast<int>(seed % 16));
        if (::testing::Test::HasFailure()) return;  // the journals stay, to be looked at
    }
    test::RemoveUndoJournals();
}

}  // namespace
}  // namespace tsly
