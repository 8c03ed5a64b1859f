#include "app/find_folder.h"

#include "platform/file_system.h"
#include "platform/settings_store.h"

namespace tsly {

namespace {

constexpr char kLastFolderSection[] = "Settings";
constexpr char kLastFolderName[] = "LastFolder";

}  // namespace

void RememberScannedFolder(const std::string& folder) {
    // Kept as the picker names folders: without the separator a drive
    // root needs.
    std::string named = folder;
    if (named.size() > 3 && named.back() == '\\') named.pop_back();
    // A start folder that cannot be kept is no reason to stop the scan.
    try {
        SettingsStore(kSettingsKey).WriteText(kLastFolderSection, kLastFolderName, named);
    } catch (const SettingsError&) {
    }
}

std::string LastScannedFolder() {
    try {
        return SettingsStore(kSettingsKey, false).ReadText(kLastFolderSection, kLastFolderName, "");
    } catch (const SettingsError&) {
        return std::string();
    }
}

void ConfigureFolderPicker(TSHBrowseForFolderEx& picker, std::string& selected) {
    const std::string last = LastScannedFolder();
    if (!last.empty() && win::Win32PathLookup().IsFolder(last)) {
        picker.SetSelectFolder(sfManual);
        picker.SetSelectFolderName(last);
    } else {
        picker.SetSelectFolder(sfDesktopDir);
    }
    picker.SetCaption("検索するフォルダ");
    picker.SetOnSelectionChanged([&selected](TSHBrowseForFolderEx* Sender, HWND Wnd,
                                         std::string Path, std::string& ShowText,
                                         TOKButtonState& OKButtonState) {
        SHBrowseForFolderEx1SelectionChanged(selected, Sender, Wnd, Path, ShowText,
                                             OKButtonState);
    });
    picker.SetShowStyle(ssCenterScreen);
}

void SHBrowseForFolderEx1SelectionChanged(std::string& selected, TSHBrowseForFolderEx*, HWND,
                                          const std::string& Path, std::string&,
                                          TOKButtonState&) {
    selected = Path;
}

std::string FolderToScan(const std::string& selected) {
    // A drive root ("C:\\") already ends in its separator.
    return !selected.empty() && selected.back() == '\\' ? selected : selected + "\\";
}

bool ChooseFolderToScan(win::Window& owner, std::string& selected, std::string& folder) {
    // Properties persist across runs and Execute changes none of them, so
    // a picker made for each run behaves as one kept by the window.
    TSHBrowseForFolderEx picker(&owner);
    ConfigureFolderPicker(picker, selected);
    if (!picker.Execute()) return false;
    // The last reported selection is the chosen folder. Should the shell
    // never have reported one, the dialog's own result stands in; with
    // neither there is nothing to scan (an empty path would mean the
    // current directory).
    const std::string& chosen =
        selected.empty() ? picker.FolderPath() : selected;
    if (chosen.empty()) return false;
    folder = FolderToScan(chosen);
    return true;
}

}  // namespace tsly
