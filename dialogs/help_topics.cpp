#include "dialogs/help_topics.h"

#include <shellapi.h>
#include <shlwapi.h>

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
    if (FileExists(folder + kHelpPageName)) return ShowHelpSection(owner, folder, "");
    win::Application::Instance().ShowMessage(
        "ヘルプファイル（TSLY.hlp または tsly.html）がプログラムのフォルダにありません。");
    return HelpShown::Missing;
}

namespace {

// The command that opens web pages, split into the program and its
// parameters with the URL in the place of "%1".
bool PageOpener(const std::wstring& url, std::wstring& program, std::wstring& parameters) {
    wchar_t command[2048] = {};
    DWORD size = 2048;
    if (FAILED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, L".html", L"open", command,
                                 &size))) {
        return false;
    }
    std::wstring line(command);
    std::size_t end = 0;
    if (!line.empty() && line[0] == L'"') {
        end = line.find(L'"', 1);
        if (end == std::wstring::npos) return false;
        program = line.substr(1, end - 1);
        ++end;
    } else {
        end = line.find(L' ');
        if (end == std::wstring::npos) end = line.size();
        program = line.substr(0, end);
    }
    parameters = line.substr(end);
    const std::size_t at = parameters.find(L"%1");
    if (at == std::wstring::npos) {
        parameters += L" \"" + url + L"\"";
    } else {
        parameters.replace(at, 2, url);
    }
    return !program.empty();
}

bool Open(HWND owner, const std::wstring& file, const std::wstring& parameters) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

HelpShown ShowHelpSection(HWND owner, const std::wstring& folder, const char* id) {
    const std::wstring page = folder + kHelpPageName;
    if (!FileExists(page)) {
        win::Application::Instance().ShowMessage(
            "ヘルプファイル（tsly.html）がプログラムのフォルダにありません。");
        return HelpShown::Missing;
    }
    // A page opened by its own name loses the section, so the URL goes to
    // the program that opens pages; the page alone where that fails.
    std::wstring url = L"file:///" + page;
    for (wchar_t& c : url) c = c == L'\\' ? L'/' : c;
    if (id && *id) url += L"#" + win::ToWide(id);
    std::wstring program, parameters;
    if ((PageOpener(url, program, parameters) && Open(owner, program, parameters)) ||
        Open(owner, page, L"")) {
        return HelpShown::Page;
    }
    win::Application::Instance().ShowMessage(
        "ヘルプを開けませんでした。ヘルプのページは次の場所にあります:\n" + win::FromWide(page));
    return HelpShown::Missing;
}

void ShowHelpTopics(HWND owner) {
    // Kept as the application's help file, as a .hlp file is its help.
    win::Application::Instance().SetHelpFile(HelpFilePath());
    ShowHelpFrom(owner, win::ToWide(ProgramFolder()));
}

}  // namespace tsly
