#include "core/undo_journal.h"

#include <cstdio>
#include <cstdlib>

namespace tsly {
namespace {

constexpr std::string_view kHeader = "Tessalyne undo journal 1";

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// A whole hexadecimal number that fits, or nothing.
std::optional<std::uint64_t> Hex(std::string_view text, std::uint64_t max) {
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    if (value > max) return std::nullopt;
    return value;
}

std::string HexText(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string JournalHeader() { return std::string(kHeader) + "\n"; }

std::string JournalRenameLine(const JournalRename& r) {
    std::string line = "R\t";
    line += r.id ? HexText(r.id->volume) + "\t" + HexText(r.id->file) : "-\t-";
    line += "\t" + r.from + "\t" + r.via + "\t" + r.to + "\n";
    return line;
}

std::string JournalDoneLine(std::size_t n, const std::string& now) {
    return "D\t" + std::to_string(n) + "\t" + now + "\n";
}

std::optional<std::vector<JournalRename>> ParseJournal(std::string_view text) {
    // Every line ends with a line feed: a last line without one was cut off.
    if (text.empty() || text.back() != '\n') return std::nullopt;
    std::vector<JournalRename> renames;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            if (line != kHeader) return std::nullopt;
            first = false;
            continue;
        }
        const std::vector<std::string_view> f = Fields(line);
        if (f[0] == "R" && f.size() == 6) {
            JournalRename r;
            if (f[1] != "-" || f[2] != "-") {
                const auto volume = Hex(f[1], 0xFFFFFFFFu), file = Hex(f[2], ~0ull);
                if (!volume || !file) return std::nullopt;
                r.id = FileId{static_cast<std::uint32_t>(*volume), *file};
            }
            if (f[3].empty() || f[5].empty()) return std::nullopt;
            r.from = f[3], r.via = f[4], r.to = f[5];
            renames.push_back(std::move(r));
        } else if (f[0] == "D" && f.size() == 3 && !f[2].empty()) {
            char* stop = nullptr;
            const std::string number(f[1]);
            const unsigned long long n = std::strtoull(number.c_str(), &stop, 10);
            if (number.empty() || *stop != '\0' || n >= renames.size()) return std::nullopt;
            renames[n].done = true;
            renames[n].now = f[2];
        } else {
            return std::nullopt;
        }
    }
    return renames;
}

std::vector<JournalUndo> FindJournalFiles(
    const std::vector<JournalRename>& renames,
    const std::function<std::optional<FileId>(const std::string&)>& identity) {
    std::vector<JournalUndo> undo;
    for (const JournalRename& r : renames) {
        std::string current;
        // Back where it was already (an undo that stopped, or died, after
        // it): nothing to do.
        if (r.id && identity(r.from) == r.id) continue;
        if (r.id) {
            for (const std::string* path : {&r.now, &r.to, &r.via}) {
                if (!path->empty() && identity(*path) == r.id) {
                    current = *path;
                    break;
                }
            }
        } else if (r.done) {
            current = r.now;  // no identity to go by: the name alone
        }
        if (current.empty() && !r.done) continue;
        undo.push_back(JournalUndo{current.empty() ? r.now : current, r.from, r.id});
    }
    return undo;
}

}  // namespace tsly
