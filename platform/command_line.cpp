#include "platform/command_line.h"

#include <windows.h>

#include "platform/text.h"

namespace tsly::win {

std::vector<std::wstring> SplitCommandLine(std::wstring_view line) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    std::vector<std::wstring> parts;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        if (i == line.size()) break;
        std::wstring part;
        bool quoted = false;
        bool hadQuote = false;
        for (; i < line.size() && (quoted || !blank(line[i])); ++i) {
            if (line[i] == L'"') {
                quoted = !quoted;
                hadQuote = true;
            } else {
                part += line[i];
            }
        }
        // A bare "" names nothing; taking it as a path would list the
        // current folder.
        if (!part.empty() || !hadQuote) parts.push_back(std::move(part));
    }
    return parts;
}

std::vector<std::string> CommandLineParameters() {
    const std::vector<std::wstring> parts = SplitCommandLine(GetCommandLineW());
    std::vector<std::string> parameters;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        // A name with a lone surrogate has no UTF-8 form; its stand-in
        // would name no file, or another one.
        if (RoundTrips(parts[i])) parameters.push_back(FromWide(parts[i]));
    }
    return parameters;
}

}  // namespace tsly::win
