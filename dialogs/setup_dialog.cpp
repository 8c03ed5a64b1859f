#include "dialogs/setup_dialog.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "core/settings_codec.h"
#include "dialogs/dialogs.h"
#include "dialogs/panel.h"
#include "dialogs/program_path.h"
#include "platform/application.h"
#include "platform/handles.h"
#include "platform/registry_values.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "resources/resource.h"

namespace tsly {
namespace {

using dialogs::Kind;
using dialogs::Look;

const std::vector<dialogs::ControlDef>& Layout() {
    using F = TFrmSetup;
    static const std::vector<dialogs::ControlDef> layout{
        {F::CheckBox1, Kind::CheckBox, 0, 0, 4, 207, 17, "デスクトップにショートカット作成(&K)",
         WS_TABSTOP, Look::Plain, 0},
        {F::CheckBox2, Kind::CheckBox, 0, 0, 22, 207, 17, "「送る」メニューに追加(&S)",
         WS_TABSTOP, Look::Plain, 0},
        {F::CheckBox3, Kind::CheckBox, 0, 0, 40, 209, 17, "スタートアップに追加(&R)",
         WS_TABSTOP, Look::Plain, 0},
        // Below the buttons' panel, where the whole width is free.
        {F::CheckBox4, Kind::CheckBox, 0, 0, 67, 303, 17,
         "新しいショートカットに「 - ショートカット」を付けない(&N)", WS_TABSTOP, Look::Plain, 0},
        // The note below the boxes, read after them.
        {F::GroupBox1, Kind::GroupBox, 0, 0, 86, 303, 71, "参考", 0, Look::Plain, 0},
        // Fills the inside of the frame, below its caption, which names it.
        {F::Memo1, Kind::Memo, 0, 1, 99, 301, 57,
         "\r\n「送る」メニューに追加しておくと、エクスプローラから簡単に\r\n"
         "「～へのショートカット」が削除できます。",
         0, Look::Plain, 0, F::GroupBox1},
        // Last in tab order, after the note.
        {F::Panel1, Kind::Panel, 0, 216, 2, 87, 65, "", dialogs::kBevelRaisedOuter,
         Look::Plain, 0},
        {F::SpeedButton1, Kind::PushButton, F::Panel1, 4, 6, 79, 25, "設定", 0, Look::Plain,
         IDB_GLYPH_DOCUMENT},
        {F::SpeedButton2, Kind::PushButton, F::Panel1, 4, 34, 79, 25, "ｷｬﾝｾﾙ", 0,
         Look::Plain, IDB_GLYPH_CANCEL},
    };
    return layout;
}

constexpr char kSection[] = "Setup";
constexpr char kDescription[] = "Tessalyne";
constexpr char kNamingNotice[] =
    "\r\nこの変更は、エクスプローラの再起動後または次回のサインイン後に作成する"
    "ショートカットから有効になります。";

// The three rows: check box, special folder, stored value, and the
// folder's name in a failure message.
struct Row {
    int checkBox;
    int folderId;
    const char* value;
    const char* folderName;
};
constexpr Row kRows[] = {
    {TFrmSetup::CheckBox1, CSIDL_DESKTOPDIRECTORY, "DeskTop", "デスクトップ"},
    {TFrmSetup::CheckBox2, CSIDL_SENDTO, "SendTo", "「送る」メニュー"},
    {TFrmSetup::CheckBox3, CSIDL_STARTUP, "StartUp", "スタートアップ"},
};

std::string SpecialFolderPath(int folderId) {
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)) || !rawDesktop) return std::string();
    const win::ComPtr<IShellFolder> desktop(rawDesktop);
    ITEMIDLIST* rawId = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), folderId, &rawId)) || !rawId) {
        return std::string();
    }
    const win::UniqueIdList id(rawId);
    STRRET name{};
    if (FAILED(desktop->GetDisplayNameOf(id.get(), SHGDN_FORPARSING, &name))) {
        return std::string();
    }
    // Whatever form the name came in; allocated to its full length, so a
    // long path is not cut.
    wchar_t* text = nullptr;
    if (FAILED(StrRetToStrW(&name, id.get(), &text)) || !text) return std::string();
    std::string path = win::FromWide(text);
    CoTaskMemFree(text);
    return path;
}

// A shell link object with its file interface; both empty when the shell
// cannot make one. COM must be on while they live.
struct ShellLink {
    win::ComPtr<IShellLinkW> link;
    win::ComPtr<IPersistFile> file;
    explicit operator bool() const { return link && file; }
};

ShellLink MakeShellLink() {
    ShellLink made;
    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink))) ||
        !rawLink) {
        return made;
    }
    made.link.reset(rawLink);
    IPersistFile* rawFile = nullptr;
    if (SUCCEEDED(made.link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        made.file.reset(rawFile);
    }
    return made;
}

bool SaveShortcut(const std::string& shortcutPath, const std::string& workingFolder,
                  const std::string& programPath, const std::string& description) {
    // A path the system cannot take whole would be saved somewhere else.
    const std::wstring wide = win::ToWide(shortcutPath);
    const std::wstring program = win::ToWide(programPath);
    if (wide.empty() || wide.size() >= MAX_PATH || program.empty() ||
        program.size() >= MAX_PATH) {
        return false;
    }
    const win::ComScope com;  // declared first: COM ends after the objects go
    const ShellLink shortcut = MakeShellLink();
    return shortcut &&
           SUCCEEDED(shortcut.link->SetWorkingDirectory(win::ToWide(workingFolder).c_str())) &&
           SUCCEEDED(shortcut.link->SetPath(program.c_str())) &&
           SUCCEEDED(shortcut.link->SetDescription(win::ToWide(description).c_str())) &&
           SUCCEEDED(shortcut.file->Save(wide.c_str(), TRUE));  // replaces an existing file
}

// The file a shortcut leads to, as the item identifier it keeps names it
// (Wine answers GetPath from the link's ANSI copy of the path); empty when
// the shell cannot load the file as a shortcut.
std::wstring LinkTarget(const std::wstring& path) {
    const win::ComScope com;
    const ShellLink shortcut = MakeShellLink();
    ITEMIDLIST* rawId = nullptr;
    if (!shortcut || FAILED(shortcut.file->Load(path.c_str(), STGM_READ)) ||
        FAILED(shortcut.link->GetIDList(&rawId)) || !rawId) {
        return std::wstring();
    }
    const win::UniqueIdList id(rawId);
    wchar_t target[MAX_PATH] = {};
    return SHGetPathFromIDListW(id.get(), target) ? std::wstring(target) : std::wstring();
}

// A path as the system compares it: full, each part in its long form,
// letter case folded.
std::wstring Comparable(const std::wstring& path) {
    wchar_t full[MAX_PATH], long_[MAX_PATH];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    std::wstring result = n > 0 && n < MAX_PATH ? full : path;
    const DWORD m = GetLongPathNameW(result.c_str(), long_, MAX_PATH);
    if (m > 0 && m < MAX_PATH) result = long_;
    CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

// Whose the file at the program shortcut's place is.
enum class Holder {
    Nobody,          // no file, or a folder: left to the save or the delete, which say so
    Program,         // a shortcut to the running program
    MovedProgram,    // a shortcut to a program of its name that is gone: this one before a move
    User,            // anything else: neither replaced nor deleted
};

std::wstring NameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

Holder HolderOf(const std::wstring& path, const std::string& programPath) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Holder::Nobody;
    }
    const std::wstring target = LinkTarget(path);
    if (target.empty()) return Holder::User;
    const std::wstring program = Comparable(win::ToWide(programPath));
    const std::wstring aimed = Comparable(target);
    if (aimed == program) return Holder::Program;
    // A copy of the program elsewhere that still exists is the user's.
    const bool gone = GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES;
    return gone && NameOf(aimed) == NameOf(program) ? Holder::MovedProgram : Holder::User;
}

}  // namespace

TFrmSetup::TFrmSetup(POINT position) {
    // Enter applies as "設定" does and Escape cancels: a keyboard alone can
    // make the shortcuts.
    CreateForm({"TFrmSetup", "セットアップ", 303, 158, SpeedButton1, SpeedButton2}, position,
               Layout());
    FormCreate();
}

void TFrmSetup::FormCreate() {
    try {
        const SettingsStore store(kSetupKey);
        for (const Row& row : kRows) {
            SetChecked(row.checkBox, store.ReadFlag(kSection, row.value, false));
        }
    } catch (const SettingsError& e) {
        win::Application::Instance().ReportError(e.what());
    }
    // What Explorer does, not what was chosen once: the values may have
    // been changed behind the program's back.
    win::CurrentUserValues registry;
    shownNoMarker_ = ShortcutMarkerStopped(registry);
    SetChecked(CheckBox4, shownNoMarker_);
}

std::string TFrmSetup::ShortcutPath(int folderId, const std::string& description) {
    const std::string folder = SpecialFolderPath(folderId);
    return folder.empty() ? std::string() : folder + "\\" + description + ".lnk";
}

TFrmSetup::Change TFrmSetup::MakeShortcut(const std::string& workingFolder,
                                          const std::string& programPath,
                                          const std::string& description, int folderId,
                                          bool create) {
    const std::string path = ShortcutPath(folderId, description);
    // Without the folder there is no shortcut in it to remove.
    if (path.empty()) return create ? Change::Failed : Change::Done;
    const std::wstring wide = win::ToWide(path);
    const Holder holder = HolderOf(wide, programPath);
    if (holder == Holder::User) return Change::LeftAlone;
    const Change done = holder == Holder::MovedProgram ? Change::Moved : Change::Done;
    if (create) {
        return SaveShortcut(path, workingFolder, programPath, description) ? done : Change::Failed;
    }
    if (DeleteFileW(wide.c_str())) return done;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Change::Done
                                                                          : Change::Failed;
}

void TFrmSetup::SpeedButton1Click() {
    win::Application& app = win::Application::Instance();
    // First, as the one step that can be undone whole: when it fails,
    // nothing else is done either. Only a box the user changed touches
    // Explorer's values: an unticked box may stand for the user's own.
    win::CurrentUserValues registry;
    const bool noMarker = Checked(CheckBox4);
    NamingChange naming;
    if (noMarker != shownNoMarker_) {
        naming = noMarker ? StopShortcutMarker(registry) : PutBackShortcutMarker(registry);
    }
    if (!naming.ok) {
        app.ReportError(naming.Message());
        return;
    }

    const std::string program = ProgramPath();
    const std::string folder = ProgramFolder();
    std::string failures, moved;
    for (const Row& row : kRows) {
        const bool create = Checked(row.checkBox);
        const Change change = MakeShortcut(folder, program, kDescription, row.folderId, create);
        if (change == Change::Failed) {
            failures += std::string(row.folderName) +
                        (create ? "にショートカットを作成できませんでした。\r\n"
                                : "のショートカットを削除できませんでした。\r\n");
        } else if (change == Change::LeftAlone) {
            failures += std::string(row.folderName) + "の " + kDescription +
                        ".lnk はこのプログラムへのショートカットではないため、そのままにしました。\r\n";
            // No shortcut of the program is there: the box and the stored
            // flag say so.
            SetChecked(row.checkBox, false);
        } else if (change == Change::Moved) {
            moved += std::string(row.folderName) + "の " + kDescription +
                     ".lnk は移動する前のこのプログラムへのショートカットだったため、" +
                     (create ? "置き換えました。\r\n" : "削除しました。\r\n");
        }
    }

    SettingsStore store(kSetupKey);
    for (const Row& row : kRows) store.WriteFlag(kSection, row.value, Checked(row.checkBox));

    // Explorer reads its naming when it starts, so the notice says when
    // the change shows.
    const std::string notice = std::string(naming.copiesLost ? kNamingCopiesLost : "") +
                               (naming.changed ? kNamingNotice : "");
    const auto lines = [](const std::string& text) { return text.substr(0, text.size() - 2); };
    if (failures.empty()) {
        MessageBeep(MB_OK);
        app.ShowMessage("設定しました。" + (moved.empty() ? "" : "\r\n" + lines(moved)) + notice);
    } else {
        // Only what was done is claimed; the choices are stored all the same
        // (but where a file of the user's stays), so the next "設定" tries
        // again.
        MessageBeep(MB_ICONEXCLAMATION);
        app.ShowMessage(lines(failures + moved) + notice);
    }
    Close();
}

void TFrmSetup::SpeedButton2Click() { Close(); }

void TFrmSetup::OnCommand(int id) {
    switch (id) {
    case SpeedButton1: SpeedButton1Click(); break;
    case SpeedButton2: SpeedButton2Click(); break;
    default: break;
    }
}

std::vector<std::string> ChosenShortcutFolders() {
    win::CurrentUserValues registry;
    std::vector<std::string> folders;
    for (const Row& row : kRows) {
        RegistryValue value;
        // A flag as the store reads it: a number that is not 0.
        if (registry.Read(std::string(kSetupKey) + kSection, row.value, value) && value.present &&
            value.type == kRegSz) {
            const std::wstring text(reinterpret_cast<const wchar_t*>(value.bytes.data()),
                                    value.bytes.size() / sizeof(wchar_t));
            if (ParseNumber(win::FromWide(text.c_str()), 0) != 0) folders.push_back(row.folderName);
        }
    }
    return folders;
}

void ShowSetupDialog(POINT position) {
    TFrmSetup form(position);
    form.ShowModal();
}

}  // namespace tsly
