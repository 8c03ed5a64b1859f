// TSHBrowseForFolderEx: a folder picker over the shell's folder dialog. It
// chooses the tree's root and the item selected at the start from a list of
// special folders or from a typed path, places the dialog, and reports every
// change of selection to a handler that may set the status line and the OK
// button. Every item identifier it obtains is freed before Execute returns.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/handles.h"
#include "platform/window.h"

namespace tsly {

// Where the dialog goes when it opens.
enum TShowStyle : std::uint8_t {
    ssNone,          // where the shell puts it
    ssCenterScreen,  // centred across, one third down the work area
    ssClient,        // top-left corner at the owner's client-area origin
};

// The initial selection and the root; both map to special folders through
// one table (shell/browse_rules.h).
enum TSelectFolder : std::uint8_t {
    sfDesktop, sfManual, sfDrives, sfDesktopDir, sfFavorites, sfPrograms,
    sfRecent, sfSendTo, sfStartMenu, sfStartup, sfTemplates,
};
enum TRootFolder : std::uint8_t {
    rfDesktop, rfManual, rfDrives, rfDesktopDir, rfFavorites, rfPrograms,
    rfRecent, rfSendTo, rfStartMenu, rfStartup, rfTemplates,
};

enum TSHBrowseOption : std::uint8_t {
    sboDontGoBelowDomain,
    sboReturnFSAncestors,
    sboReturnOnlyFSDirs,
    sboStatusTextAndShowPath,  // status line, always showing the selection's path
    sboStatusText,
};

// A set of options in one byte: bit n stands for option n.
class TSHBrowseOptions {
public:
    constexpr TSHBrowseOptions() = default;
    constexpr TSHBrowseOptions(std::initializer_list<TSHBrowseOption> members) {
        for (TSHBrowseOption m : members) bits_ = static_cast<std::uint8_t>(bits_ | 1u << m);
    }
    constexpr bool Contains(TSHBrowseOption m) const { return (bits_ >> m & 1u) != 0; }
    constexpr std::uint8_t Bits() const { return bits_; }
    friend constexpr bool operator==(TSHBrowseOptions a, TSHBrowseOptions b) {
        return a.bits_ == b.bits_;
    }
    friend constexpr bool operator!=(TSHBrowseOptions a, TSHBrowseOptions b) {
        return !(a == b);
    }

private:
    std::uint8_t bits_ = 0;
};

// The handler's request for the OK button.
enum TOKButtonState : std::uint8_t { obsNone, obsEnabled, obsDisabled };

class TSHBrowseForFolderEx;

// Selection changed: `Path` is the new item's file-system path (empty when it
// has none); `ShowText` comes in empty and `OKButtonState` as obsNone.
using TSHBrowseEvent =
    std::function<void(TSHBrowseForFolderEx* Sender, HWND Wnd, std::string Path,
                       std::string& ShowText, TOKButtonState& OKButtonState)>;

class TSHBrowseForFolderEx {
public:
    // `owner` is the form the picker belongs to; ssClient places the dialog
    // at its client area. It may be null.
    explicit TSHBrowseForFolderEx(win::Window* owner);
    virtual ~TSHBrowseForFolderEx();
    TSHBrowseForFolderEx(const TSHBrowseForFolderEx&) = delete;
    TSHBrowseForFolderEx& operator=(const TSHBrowseForFolderEx&) = delete;

    // Shows the dialog modally; true when the user chose an item with OK.
    // Not re-entrant on one picker.
    virtual bool Execute();

    // Published properties.
    TSelectFolder SelectFolder() const { return FSelectFolder; }
    void SetSelectFolder(TSelectFolder value);
    const std::string& SelectFolderName() const { return FSelectFolderName; }
    void SetSelectFolderName(const std::string& value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string value) { FCaption = std::move(value); }
    TSHBrowseOptions Options() const { return FOptions; }
    void SetOptions(TSHBrowseOptions value) { FOptions = value; }
    const TSHBrowseEvent& OnSelectionChanged() const { return FOnSelectionChanged; }
    void SetOnSelectionChanged(TSHBrowseEvent value) {
        FOnSelectionChanged = std::move(value);
    }
    TRootFolder RootFolder() const { return FRootFolder; }
    void SetRootFolder(TRootFolder value);
    const std::string& RootFolderName() const { return FRootFolderName; }
    void SetRootFolderName(const std::string& value);
    TShowStyle ShowStyle() const { return FShowStyle; }
    void SetShowStyle(TShowStyle value);

    // Results of the last Execute; emptied when it starts.
    const std::string& FolderPath() const { return FFolderPath; }
    const std::string& DisplayName() const { return FDisplayName; }

    // True only while Execute runs with an initial selection resolved.
    bool HoldsInitialSelection() const { return FInitialSelection != nullptr; }

protected:
    // Called on every change of selection; the default calls
    // OnSelectionChanged when it is assigned.
    virtual void DoSelectionChanged(HWND Wnd, const std::string& Path, std::string& ShowText,
                                    TOKButtonState& OKButtonState);

private:
    static int CALLBACK BrowseCallback(HWND wnd, UINT message, LPARAM value, LPARAM data);
    void OnBrowseMessage(HWND wnd, UINT message, LPARAM value);
    void PlaceDialog(HWND wnd) const;

    win::Window* FOwner;
    // Fields in their declared order.
    TShowStyle FShowStyle = ssClient;
    win::UniqueIdList FInitialSelection;  // held only while Execute runs
    bool FShowPath = false;
    TSelectFolder FSelectFolder = sfDrives;
    std::string FSelectFolderName;
    std::string FFolderPath;
    std::string FRootFolderName;
    TRootFolder FRootFolder = rfDesktop;
    std::string FDisplayName;
    std::string FCaption;
    TSHBrowseOptions FOptions{sboReturnOnlyFSDirs};
    TSHBrowseEvent FOnSelectionChanged;
    // The initial selection's path when a typed name gave it: the dialog is
    // told the path, which the shell finds again in its tree (an identifier
    // of a deeper folder can come back as the desktop itself).
    std::wstring FInitialPath;
};

// Resolves a folder setting (a TSelectFolder or TRootFolder value and its
// typed name) to an absolute item identifier. A typed name is used when it
// parses to a folder or to an item with subfolders; otherwise, and for
// every other kind, the special folder of the table. Null when the shell
// has no such folder.
// `byName` is told whether the typed name gave it.
win::UniqueIdList ResolveFolderSetting(IShellFolder* desktop, std::uint8_t kind,
                                       const std::string& name, bool* byName = nullptr);

}  // namespace tsly
