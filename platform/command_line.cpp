#include "platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "platform/text.h"

namespace tsly::win {
namespace {

struct LocalFreer {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

}  // namespace

std::vector<std::string> CommandLineParameters() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreer> args(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> parameters;
    if (!args) return parameters;
    for (int i = 1; i < count; ++i) parameters.push_back(FromWide(args.get()[i]));
    return parameters;
}

}  // namespace tsly::win
