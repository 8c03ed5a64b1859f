#include "core/undo_journal.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "core/cut_rule.h"
#include "core/long_path.h"
#include "core/utf8.h"

namespace tsly {
namespace {

constexpr std::string_view kHeader = "Tessalyne undo journal 2";
constexpr std::string_view kHeaderWithoutChecksums = "Tessalyne undo journal 1";

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

// A whole hexadecimal number of at most 16 digits that fits, or nothing.
std::optional<std::uint64_t> Hex(std::string_view text, std::uint64_t max) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, value, 16);
    if (text.size() > 16 || read.ec != std::errc() || read.ptr != end || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string HexText(std::uint64_t value, int width = 0) {
    char text[20];
    std::snprintf(text, sizeof text, "%0*llx", width, static_cast<unsigned long long>(value));
    return text;
}

// The common CRC-32, a byte at a time from a table: a long cut writes
// two lines a rename.
struct CrcTable {
    std::uint32_t entry[256];
    constexpr CrcTable() : entry() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t crc = i;
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            entry[i] = crc;
        }
    }
};
constexpr CrcTable kCrcTable;

std::uint32_t Crc32(std::string_view text) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char c : text) crc = (crc >> 8) ^ kCrcTable.entry[(crc ^ static_cast<unsigned char>(c)) & 0xFFu];
    return ~crc;
}

// Text a path may hold: well-formed UTF-8 without NUL.
bool PathText(std::string_view text) {
    while (!text.empty()) {
        std::size_t length;
        const char32_t c = utf8::DecodeAt(text, 0, length);
        if (c == 0 || (c == 0xFFFD && length == 1)) return false;
        text.remove_prefix(length);
    }
    return true;
}

// A path the program could have written: absolute, and every part after
// the root a name a file or folder may have. The undo renames between such
// paths only, never to "..\\x" or a name the system reads otherwise.
bool PlainPath(std::string_view path) {
    const std::string_view root = PathRoot(path);
    if (root.empty() || root.size() == path.size() || path.back() == '\\' ||
        NeedsFullPath(std::string(path))) {
        return false;
    }
    if (root[0] != '\\' && !std::isalpha(static_cast<unsigned char>(root[0]))) return false;
    // A network root's server and share are names too, neither "?" nor "."
    // (a device path).
    for (std::size_t start = root[0] == '\\' ? 2 : root.size(); start < path.size();) {
        std::size_t end = utf8::NextSeparator(path, start);
        if (end == std::string_view::npos) end = path.size();
        // The name checked is the name used: one the system would store
        // otherwise (trailing dots or blanks) is refused.
        const std::string_view name = path.substr(start, end - start);
        if (StoredName(name) != name || CheckNewName(name)) return false;
        start = end + 1;
    }
    return true;
}

std::string WithChecksum(std::string line) {
    line += "\t" + HexText(Crc32(line), 8) + "\n";
    return line;
}

// Reads one line into `renames`; false when it is not a whole, good line.
bool ReadLine(std::string_view line, bool checksums, std::vector<JournalRename>& renames) {
    if (checksums) {
        const std::size_t tab = line.rfind('\t');
        if (tab == std::string_view::npos || line.size() - tab != 9) return false;
        const auto crc = Hex(line.substr(tab + 1), 0xFFFFFFFFu);
        line = line.substr(0, tab);
        if (!crc || *crc != Crc32(line)) return false;
    }
    if (!PathText(line)) return false;
    const std::vector<std::string_view> f = Fields(line);
    if (f[0] == "R" && f.size() == 6) {
        JournalRename r;
        if (f[1] != "-" || f[2] != "-") {
            const auto volume = Hex(f[1], 0xFFFFFFFFu), file = Hex(f[2], ~0ull);
            if (!volume || !file) return false;
            r.id = FileId{static_cast<std::uint32_t>(*volume), *file};
        }
        // A rename stays in its folder: from, via and to are names in one.
        if (!PlainPath(f[3]) || !PlainPath(f[5]) || (!f[4].empty() && !PlainPath(f[4]))) return false;
        const std::string_view folder = PathFolder(f[3]);
        if (PathFolder(f[5]) != folder || (!f[4].empty() && PathFolder(f[4]) != folder)) return false;
        r.from = f[3], r.via = f[4], r.to = f[5];
        r.checked = checksums;
        renames.push_back(std::move(r));
        return true;
    }
    if (f[0] == "D" && f.size() == 3 && !f[2].empty()) {
        char* stop = nullptr;
        const std::string number(f[1]);
        const unsigned long long n = std::strtoull(number.c_str(), &stop, 10);
        if (number.empty() || *stop != '\0' || n >= renames.size()) return false;
        if (!PlainPath(f[2]) || PathFolder(f[2]) != PathFolder(renames[n].from)) return false;
        renames[n].done = true;
        renames[n].now = f[2];
        return true;
    }
    return false;
}

}  // namespace

std::string JournalHeader() { return std::string(kHeader) + "\n"; }

std::string JournalRenameLine(const JournalRename& r) {
    std::string line = "R\t";
    line += r.id ? HexText(r.id->volume) + "\t" + HexText(r.id->file) : "-\t-";
    line += "\t" + r.from + "\t" + r.via + "\t" + r.to;
    return WithChecksum(std::move(line));
}

std::string JournalDoneLine(std::size_t n, const std::string& now) {
    return WithChecksum("D\t" + std::to_string(n) + "\t" + now);
}

bool LooksLikeJournal(std::string_view start) {
    const std::size_t end = start.find('\n');
    if (end == std::string_view::npos) return kHeader.substr(0, start.size()) == start;
    const std::string_view first = start.substr(0, end);
    return first == kHeader || first == kHeaderWithoutChecksums;
}

std::optional<std::vector<JournalRename>> ParseJournal(std::string_view text, bool* refused) {
    if (refused) *refused = false;
    if (!LooksLikeJournal(text.substr(0, kHeader.size() + 1))) return std::nullopt;
    std::vector<JournalRename> renames;
    const std::size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos) return renames;  // died making it
    const bool checksums = text.substr(0, headerEnd) == kHeader;
    // Every line ends with a line feed: a last line without one was cut off.
    for (std::size_t start = headerEnd + 1, end; (end = text.find('\n', start)) != std::string_view::npos;
         start = end + 1) {
        if (!ReadLine(text.substr(start, end - start), checksums, renames)) {
            if (refused) *refused = true;
            break;
        }
    }
    return renames;
}

std::string JournalFileName(const JournalStamp& s) {
    char name[64];
    std::snprintf(name, sizeof name, "undo-%04d%02d%02d-%02d%02d%02d%03d-%08x-%03u.log", s.year,
                  s.month, s.day, s.hour, s.minute, s.second, s.millisecond,
                  static_cast<unsigned>(s.process), s.n % 1000);
    return name;
}

std::optional<JournalStamp> ParseJournalFileName(std::string_view name) {
    // Fixed widths: "undo-yyyymmdd-hhmmssmmm-pppppppp-nnn.log".
    constexpr std::string_view kShape = "undo-########-#########-xxxxxxxx-###.log";
    if (name.size() != kShape.size()) return std::nullopt;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool ok = kShape[i] == '#'   ? c >= '0' && c <= '9'
                        : kShape[i] == 'x' ? (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')
                                           : c == kShape[i];
        if (!ok) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t width) {
        return static_cast<int>(std::strtoul(std::string(name.substr(at, width)).c_str(), nullptr, 10));
    };
    JournalStamp s;
    s.year = number(5, 4), s.month = number(9, 2), s.day = number(11, 2);
    s.hour = number(14, 2), s.minute = number(16, 2), s.second = number(18, 2);
    s.millisecond = number(20, 3);
    s.process = static_cast<std::uint32_t>(std::strtoul(std::string(name.substr(24, 8)).c_str(), nullptr, 16));
    s.n = static_cast<unsigned>(number(33, 3));
    return s;
}

std::vector<std::string> JournalsNewestFirst(std::vector<std::string> names) {
    // The names sort as their cuts do; the old journal is older than all.
    bool old = false;
    std::vector<std::string> newest;
    for (std::string& name : names) {
        if (ParseJournalFileName(name)) newest.push_back(std::move(name));
        else old = old || name == kOldJournalName;
    }
    std::sort(newest.begin(), newest.end(), std::greater<>());
    if (old) newest.emplace_back(kOldJournalName);
    return newest;
}

std::string EarlierRunUndoneText(int month, int day, int hour, int minute) {
    char text[96];
    std::snprintf(text, sizeof text, "前回の実行（%02d/%02d %02d:%02d）を元に戻しました", month, day,
                  hour, minute);
    return text;
}

std::string NothingToUndoText() {
    return "元に戻せる処理はありません（元に戻せるのは新しいものから " + std::to_string(kJournalsKept) +
           " 回分です）。";
}

std::vector<JournalUndo> FindJournalFiles(
    const std::vector<JournalRename>& renames,
    const std::function<std::optional<FileId>(const std::string&)>& identity,
    const std::function<bool(const FileId&, const std::string&)>& renamedElsewhere) {
    static const std::string anywhere;
    std::vector<JournalUndo> undo;
    for (const JournalRename& r : renames) {
        std::string current;
        if (r.id) {
            // Where the cut left it, most often: asked first, as a name that
            // is not there costs the most to ask for.
            for (const std::string* path : {&r.now, &r.to, &r.via}) {
                if (!path->empty() && identity(*path) == r.id) {
                    current = *path;
                    break;
                }
            }
            // Back where it was already (an undo that stopped, or died,
            // after it): nothing to do.
            if (current.empty() && identity(r.from) == r.id) continue;
        } else if (r.done) {
            current = r.now;  // no identity to go by: the name alone
        }
        if (r.done && r.id && renamedElsewhere && renamedElsewhere(*r.id, r.from)) continue;
        if (!r.done && (current.empty() || (renamedElsewhere && renamedElsewhere(*r.id, anywhere)))) continue;
        undo.push_back(JournalUndo{current.empty() ? r.now : current, r.from, r.id, r.id && r.checked});
    }
    return undo;
}

}  // namespace tsly
