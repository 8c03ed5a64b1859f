#include "dialogs/program_path.h"

#include <windows.h>

#include "platform/text.h"

namespace tsly {

std::string ProgramPath() {
    // The call truncates silently to the buffer, so grow it until the whole
    // path fits rather than work with a cut one.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), size);
        if (n == 0) return std::string();
        if (n < size) {
            path.resize(n);
            return win::FromWide(path);
        }
    }
    return std::string();
}

std::string ProgramFolder() {
    const std::string path = ProgramPath();
    // In UTF-8 a backslash byte is always a backslash.
    const std::size_t at = path.rfind('\\');
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

}  // namespace tsly
