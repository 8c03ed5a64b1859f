#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace tsly::win {
namespace {

struct LocalFreer {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

std::string ToCodePage932Exact(const wchar_t* text) {
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, "?",
                                      nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, -1, out.data(), n, "?", nullptr);
    out.resize(static_cast<std::size_t>(n - 1));  // without the zero
    return out;
}

}  // namespace

std::vector<std::string> CommandLineParameters() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreer> args(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> parameters;
    if (!args) return parameters;
    for (int i = 1; i < count; ++i) parameters.push_back(ToCodePage932Exact(args.get()[i]));
    return parameters;
}

}  // namespace tsly::win
