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

}  // namespace tsly
