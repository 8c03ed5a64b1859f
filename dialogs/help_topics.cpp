#include "dialogs/help_topics.h"

#include <shellapi.h>

#include "dialogs/dialogs.h"
#include "dialogs/program_path.h"
#include "platform/application.h"
#include "platform/text.h"

namespace tsly {
namespace {

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// WinHelp only starts winhlp32.exe from the Windows folder, so without it
// the call would fail and leave the user with nothing. Windows up to XP and
// Wine ship the viewer there; Vista to 8.1 keep a stub there that offers the
// viewer's download, the one way to read a .hlp file on those systems.
bool HelpViewerInstalled() {
    wchar_t windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    std::wstring viewer(windows, n);
    if (viewer.back() != L'\\') viewer += L'\\';
    return FileExists(viewer + L"winhlp32.exe");
}

}  // namespace

std::string HelpFilePath() { return ProgramFolder() + win::FromWide(kHelpFileName); }

HelpShown ShowHelpFrom(HWND owner, const std::wstring& folder) {
    const std::wstring helpFile = folder + kHelpFileName;
    if (FileExists(helpFile) && HelpViewerInstalled()) {
        WinHelpW(owner, helpFile.c_str(), HELP_FINDER, 0);
        return HelpShown::WinHelp;
    }
    const std::wstring page = folder + kHelpPageName;
    if (FileExists(page)) {
        // The browser reports its own failures; nothing is added here.
        ShellExecuteW(owner, L"open", page.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
        return HelpShown::Page;
    }
    win::Application::Instance().ShowMessage(
        "ヘルプファイル（TSLY.hlp または tsly.html）がプログラムのフォルダにありません。");
    return HelpShown::Missing;
}

void ShowHelpTopics(HWND owner) {
    // Kept as the application's help file, as a .hlp file is its help.
    win::Application::Instance().SetHelpFile(HelpFilePath());
    ShowHelpFrom(owner, win::ToWide(ProgramFolder()));
}

}  // namespace tsly
