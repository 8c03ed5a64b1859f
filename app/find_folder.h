// The find-folder command's choice of a folder to scan.
#pragma once

#include <string>

#include "shell/SHBFFEX.h"

namespace tsly {

// Lets the user pick a folder, with owner disabled while the dialog runs;
// selected keeps the last folder the dialog reported (the caller's, so that
// it outlives the dialog). On OK gives the folder with a trailing separator
// (a drive root keeps its own).
bool ChooseFolderToScan(win::Window& owner, std::string& selected, std::string& folder);

// The main window's picker, SHBrowseForFolderEx1: opens with the last
// folder scanned selected (the desktop folder when there is none or it is
// gone), centred on the screen, titled "検索するフォルダ", and reports each
// selection to SHBrowseForFolderEx1SelectionChanged.
void ConfigureFolderPicker(TSHBrowseForFolderEx& picker, std::string& selected);

// Keeps the path of the last selected folder in selected.
void SHBrowseForFolderEx1SelectionChanged(std::string& selected, TSHBrowseForFolderEx* Sender,
                                          HWND Wnd, const std::string& Path,
                                          std::string& ShowText,
                                          TOKButtonState& OKButtonState);

// The folder to scan for a selected path: a drive root such as C:\ (three
// bytes or fewer) as it is, any other folder with "\" appended.
std::string FolderToScan(const std::string& selected);

// The last folder scanned, kept as "LastFolder" in the settings key for the
// picker's next start; empty when none is stored or it cannot be read.
void RememberScannedFolder(const std::string& folder);
std::string LastScannedFolder();

}  // namespace tsly
