// The long-path expansion of a command-line parameter through a fake lookup
// whose answers come from the data.
//
// Invariants:
// - the result begins with the root of the full path ("C:\", "\\srv\sh\");
// - it has as many components as the full path: each one is replaced by
//   its long name or kept, so the separators on character boundaries are
//   the full path's, plus one at the end for a folder;
// - every lookup asks for the full path or a prefix of it that ends just
//   before a separator on a character boundary;
// - with no long names and no folders the result is the full path;
// - whole characters in (full path and long names) give whole characters out.
#include <map>

#include "core/long_path.h"
#include "fuzz/fuzz_support.h"

namespace {
using namespace tsly;

std::size_t CountSeparators(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = utf8::NextSeparator(text, 0); at != std::string_view::npos;
         at = utf8::NextSeparator(text, at + 1)) {
        ++n;
    }
    return n;
}

struct FakeLookup : PathLookup {
    FuzzedDataProvider& data;
    std::string full;
    std::map<std::string, std::optional<std::string>> names;  // answers, kept stable
    bool folder = false;
    bool anyAnswer = false;
    bool wholeNames = true;

    explicit FakeLookup(FuzzedDataProvider& d) : data(d) {}

    std::string FullPath(const std::string& path) override {
        const bool absolute = (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
                              path.rfind("\\\\", 0) == 0;
        full = absolute ? path : "C:\\cwd\\表\\" + path;
        return full;
    }
    std::optional<std::string> LongName(const std::string& path) override {
        // Only the full path or a prefix that ends before a separator.
        FUZZ_CHECK(full.compare(0, path.size(), path) == 0);
        FUZZ_CHECK(path.size() == full.size() ||
                   utf8::NextSeparator(full, path.size()) == path.size());
        FUZZ_CHECK(path.size() == full.size() || utf8::IsCharBoundary(full, path.size()));
        auto it = names.find(path);
        if (it == names.end()) {
            std::optional<std::string> answer;
            if (data.ConsumeBool()) {
                // A long name is one component: no separator of its own.
                std::string name = fuzz::WholeText(data, 3);
                if (!name.empty() && utf8::NextSeparator(name, 0) == std::string::npos) {
                    answer = name;
                    anyAnswer = true;
                }
            }
            it = names.emplace(path, answer).first;
        }
        return it->second;
    }
    bool IsFolder(const std::string& path) override {
        FUZZ_CHECK(path == full);
        folder = data.ConsumeBool();
        return folder;
    }
};

std::size_t RootLength(std::string_view full) {
    if (full.size() >= 3 && full[1] == ':' && full[2] == '\\') return 3;
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool whole = data.ConsumeBool();
    std::string parameter = whole ? fuzz::WholeText(data, 12) : data.ConsumeRandomLengthString(64);
    FakeLookup lookup(data);
    const std::string result = ExpandLongPath(parameter, lookup);
    const std::string& full = lookup.full;

    const std::size_t root = RootLength(full);
    FUZZ_CHECK(result.compare(0, root, full, 0, root) == 0);
    if (!lookup.anyAnswer && !lookup.folder) FUZZ_CHECK(result == full);
    if (fuzz::WholeCharacters(full)) {
        FUZZ_CHECK(fuzz::WholeCharacters(result));
        const bool addedSeparator = lookup.folder && !result.empty() &&
                                    utf8::LastSeparator(result) == result.size() - 1 &&
                                    CountSeparators(result) == CountSeparators(full) + 1;
        FUZZ_CHECK(CountSeparators(result) == CountSeparators(full) || addedSeparator);
    }
    return 0;
}
