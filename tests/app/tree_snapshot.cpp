#include "tests/app/tree_snapshot.h"

#include <windows.h>

#include "platform/text.h"

namespace tsly::test {
namespace {

std::string ReadAll(const std::string& path) {
    // Through the wide call with "\\?\", which reads past MAX_PATH too.
    HANDLE h = CreateFileW((L"\\\\?\\" + win::ToWide(path)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    CloseHandle(h);
    return content;
}

void Walk(const std::string& root, const std::string& relative,
          std::map<std::string, std::string>& out) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((L"\\\\?\\" + win::ToWide(root + relative + "*")).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = win::FromWide(data.cFileName);
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                Walk(root, relative + name + "\\", out);
            }
        } else {
            out[relative + name] = ReadAll(root + relative + name);
        }
    } while (FindNextFileW(h, &data));
    FindClose(h);
}

}  // namespace

std::map<std::string, std::string> Snapshot(const std::string& root) {
    std::map<std::string, std::string> out;
    Walk(root, "", out);
    return out;
}

std::string FolderOf(const std::string& relative) {
    const std::size_t at = relative.rfind('\\');
    return at == std::string::npos ? std::string() : relative.substr(0, at + 1);
}

}  // namespace tsly::test
