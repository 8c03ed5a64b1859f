// A disk in memory for the plan and the cut: files with identities in
// folders, one of which a second path also reaches (a folder link), names
// compared without regard to ASCII case as the file system does.
#pragma once

#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/cut_command.h"
#include "core/plan_disk.h"
#include "core/shortcut_list.h"

namespace tsly::model {

inline const std::string kRoot = "C:\\";
// "C:\link\" is a folder link to "C:\d\".
inline const std::map<std::string, std::string> kFolderLinks = {{"C:\\link\\", "C:\\d\\"}};

inline std::vector<char16_t> AsciiUpper() {
    std::vector<char16_t> table(0x10000);
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<char16_t>(i);
    for (char16_t c = u'a'; c <= u'z'; ++c) table[c] = static_cast<char16_t>(c - u'a' + u'A');
    return table;
}
inline const std::vector<char16_t> kUpper = AsciiUpper();

struct Disk {
    struct File {
        std::string name;  // as stored
        std::uint64_t id;
    };
    std::map<std::string, File> files;  // entry key -> file
    std::uint64_t nextId = 1;
    std::string untold;  // a folder on a volume that tells no identities

    // The folder a path lies in, links followed, and its name in upper case.
    static std::string Key(const std::string& path) {
        const auto parts = SplitPath(path);
        if (!parts) return path;
        std::string folder(parts->folder);
        const auto link = kFolderLinks.find(folder);
        if (link != kFolderLinks.end()) folder = link->second;
        std::string name(parts->name);
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return folder + name;
    }
    void Add(const std::string& path) {
        files[Key(path)] = File{std::string(SplitPath(path)->name), nextId++};
    }
    void Remove(const std::string& path) { files.erase(Key(path)); }
    bool Exists(const std::string& path) const { return files.count(Key(path)) != 0; }
    std::optional<FileId> Identity(const std::string& path) const {
        const auto it = files.find(Key(path));
        if (it == files.end() || (!untold.empty() && it->first.rfind(untold, 0) == 0)) {
            return std::nullopt;
        }
        return FileId{7, it->second.id};
    }
    // Its folder's key is the key of a name in it, less the name.
    std::optional<std::string> Find(const std::string& folder, const FileId& id) const {
        std::string in = Key(folder + "?");
        in.pop_back();
        for (const auto& [key, file] : files) {
            if (key.compare(0, in.size(), in) == 0 && key.find('\\', in.size()) == std::string::npos &&
                Identity(folder + file.name) == id) {
                return folder + file.name;
            }
        }
        return std::nullopt;
    }
    RenameResult Rename(const std::string& from, const std::string& to) {
        const auto it = files.find(Key(from));
        if (it == files.end()) return {RenameFailure::NotFound, 2};
        if (Key(to) != Key(from) && files.count(Key(to)) != 0) return {RenameFailure::NameTaken, 183};
        File file{std::string(SplitPath(to)->name), it->second.id};
        files.erase(it);
        files[Key(to)] = file;
        return {};
    }
    // Where each file is, as Key gives it: id -> key.
    std::map<std::uint64_t, std::string> Where() const {
        std::map<std::uint64_t, std::string> where;
        for (const auto& [key, file] : files) where[file.id] = key;
        return where;
    }
};

// The plan's look at a model disk.
struct Look : PlanDisk {
    Disk& disk;
    explicit Look(Disk& d) : disk(d) {}
    std::optional<FileId> Identity(const std::string& path) override { return disk.Identity(path); }
    bool Exists(const std::string& path) override { return disk.Exists(path); }
    std::uint64_t EntryKey(const std::string& path) override {
        const std::string key = Disk::Key(path);
        return HashBytes(key.data(), key.size());
    }
    bool MayHold(const std::string& folder, const FileId& id) override {
        return disk.Find(folder, id).has_value();
    }
};

// The cut's surroundings over a model disk.
struct Env : CutEnvironment {
    Disk& disk;
    CutOptions options;
    // Another program at work once the cut has planned its rows (the lists
    // here fit one batch): between rows and whenever the cut looks at the
    // disk, though not between its last look and the rename (no one can
    // close that gap).
    std::function<void()> meanwhile;
    bool planned = false;
    Env(Disk& d, CutOptions o) : disk(d), options(std::move(o)) {}
    CutOptions ReadOptions() override { return options; }
    RenameResult Rename(const std::string& from, const std::string& to) override {
        planned = true;
        return disk.Rename(from, to);
    }
    std::optional<FileId> Identity(const std::string& path) override {
        if (meanwhile && planned) meanwhile();
        return disk.Identity(path);
    }
    bool Continue(std::size_t, std::size_t) override {
        planned = true;
        if (meanwhile) meanwhile();
        return true;
    }
    bool Exists(const std::string& path) override { return disk.Exists(path); }
    std::uint64_t EntryKey(const std::string& path) override { return Look(disk).EntryKey(path); }
    bool MayHold(const std::string& folder, const FileId& id) override {
        return disk.Find(folder, id).has_value();
    }
    void Completed() override {}
};

}  // namespace tsly::model
