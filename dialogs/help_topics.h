// The help-topics command's help files.
#pragma once

#include <windows.h>

#include <string>

namespace tsly {

// "TSLY.hlp" in the folder that holds the executable, whatever the current
// directory is.
std::string HelpFilePath();

// The help page shipped beside the executable.
inline constexpr wchar_t kHelpFileName[] = L"TSLY.hlp";
inline constexpr wchar_t kHelpPageName[] = L"tsly.html";

enum class HelpShown { WinHelp, Page, Missing };

// Shows the help found in `folder` (ending in "\"): the WinHelp file when it
// is there and the help viewer is installed, else the HTML page in the
// user's browser, else a message that there is none.
HelpShown ShowHelpFrom(HWND owner, const std::wstring& folder);

// The help page's section about each window, by the window's class: F1
// opens the page there.
struct HelpSection {
    const wchar_t* windowClass;
    const char* id;
};
inline constexpr HelpSection kHelpSections[] = {
    {L"TFrmMain", "start"},   {L"TFrmOption", "option"}, {L"TFrmSetup", "setup"},
    {L"TAboutBox", "about"},  {L"TFrmHistory", "history"}, {L"#32770", "folder"},  // the folder picker
};

// Opens the page in `folder` at the section `id` with the program that
// opens web pages; where there is none, or it fails, a message says where
// the page is.
HelpShown ShowHelpSection(HWND owner, const std::wstring& folder, const char* id);

}  // namespace tsly
