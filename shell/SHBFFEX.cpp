#include "shell/SHBFFEX.h"

#include <exception>

#include "platform/application.h"
#include "platform/text.h"
#include "shell/browse_rules.h"

namespace tsly {
namespace {

// The display-name buffer comes from the shell allocator, which is the
// task allocator, and goes back to it.
struct TaskMemFreer {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};
using DisplayNameBuffer = std::unique_ptr<wchar_t, TaskMemFreer>;

// The file-system path of an item; empty when it has none. The call takes
// a MAX_PATH buffer and fails on a longer path, so no path comes back cut.
std::string FileSystemPath(PCIDLIST_ABSOLUTE id) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(id, path)) return std::string();
    return win::FromWide(path);
}

// While the dialog runs the application window is disabled, and so is the
// owner form, so that the user cannot start a second search from it. Both
// come back, and the application is brought to the front, however the
// dialog ends.
class DialogScope {
public:
    explicit DialogScope(win::Window* owner)
        : app_(win::Application::Instance().Handle()),
          owner_(owner && IsWindow(owner->hwnd()) && IsWindowEnabled(owner->hwnd())
                     ? owner->hwnd()
                     : nullptr) {
        if (owner_) EnableWindow(owner_, FALSE);
        EnableWindow(app_, FALSE);
    }
    ~DialogScope() {
        EnableWindow(app_, TRUE);
        if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
        // keeper_ then hands activation back to the window that had it.
    }
    DialogScope(const DialogScope&) = delete;
    DialogScope& operator=(const DialogScope&) = delete;

private:
    win::ActivationKeeper keeper_;  // made first, so that it acts last
    HWND app_;
    HWND owner_;
};

// The folder test asks the item's own parent folder: the desktop folder
// answers for the first level of an identifier only (for a typed path, the
// computer, which has subfolders), so every parsed path would pass.
bool IsFolderItem(const ITEMIDLIST* id) {
    IShellFolder* rawParent = nullptr;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(SHBindToParent(id, IID_IShellFolder, reinterpret_cast<void**>(&rawParent),
                              &child)) ||
        !rawParent) {
        return false;
    }
    const win::ComPtr<IShellFolder> parent(rawParent);
    // The result code is not consulted: an item the shell cannot describe
    // keeps a mask without either bit and fails the test.
    SFGAOF attributes = browse::kFolderTestMask;
    parent->GetAttributesOf(1, &child, &attributes);
    return browse::PassesFolderTest(attributes);
}

win::UniqueIdList ParseFolderName(IShellFolder* desktop, const std::string& name) {
    std::wstring wide = win::ToWide(name);
    ITEMIDLIST* parsed = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed,
                                         nullptr))) {
        return nullptr;
    }
    win::UniqueIdList id(parsed);
    if (!IsFolderItem(id.get())) return nullptr;  // freed by its holder
    return id;
}

}  // namespace

win::UniqueIdList ResolveFolderSetting(IShellFolder* desktop, std::uint8_t kind,
                                       const std::string& name, bool* byName) {
    if (byName) *byName = false;
    if (browse::TriesManualName(kind, name)) {
        if (win::UniqueIdList id = ParseFolderName(desktop, name)) {
            if (byName) *byName = true;
            return id;
        }
    }
    ITEMIDLIST* special = nullptr;
    // A failure leaves the identifier null, which is what the caller tests.
    SHGetSpecialFolderLocation(win::Application::Instance().Handle(),
                               browse::SpecialFolderOf(kind), &special);
    return win::UniqueIdList(special);
}

TSHBrowseForFolderEx::TSHBrowseForFolderEx(win::Window* owner) : FOwner(owner) {}

TSHBrowseForFolderEx::~TSHBrowseForFolderEx() = default;

void TSHBrowseForFolderEx::SetSelectFolder(TSelectFolder value) {
    if (FSelectFolder != value) FSelectFolder = value;
}

void TSHBrowseForFolderEx::SetSelectFolderName(const std::string& value) {
    if (FSelectFolderName != value) FSelectFolderName = value;
}

void TSHBrowseForFolderEx::SetRootFolder(TRootFolder value) {
    if (FRootFolder != value) FRootFolder = value;
}

void TSHBrowseForFolderEx::SetRootFolderName(const std::string& value) {
    if (FRootFolderName != value) FRootFolderName = value;
}

void TSHBrowseForFolderEx::SetShowStyle(TShowStyle value) {
    if (FShowStyle != value) FShowStyle = value;
}

bool TSHBrowseForFolderEx::Execute() {
    FFolderPath.clear();
    FDisplayName.clear();

    // The shell's folder dialog wants COM on the calling thread.
    const win::ComScope com;
    IMalloc* rawAllocator = nullptr;
    if (FAILED(SHGetMalloc(&rawAllocator)) || !rawAllocator) return false;
    const win::ComPtr<IMalloc> allocator(rawAllocator);
    IShellFolder* rawDesktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&rawDesktop)) || !rawDesktop) return false;
    const win::ComPtr<IShellFolder> desktop(rawDesktop);

    // Declared first among the identifiers, so that it goes last, on every
    // path out of here.
    struct InitialSelectionRelease {
        win::UniqueIdList& held;
        ~InitialSelectionRelease() { held.reset(); }
    } release{FInitialSelection};
    bool byName = false;
    FInitialSelection =
        ResolveFolderSetting(desktop.get(), FSelectFolder, FSelectFolderName, &byName);
    FInitialPath = byName ? win::ToWide(FileSystemPath(FInitialSelection.get())) : std::wstring();

    const win::UniqueIdList root =
        ResolveFolderSetting(desktop.get(), FRootFolder, FRootFolderName);
    if (!root) return false;

    const DisplayNameBuffer name(
        static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t))));
    if (!name) return false;
    name.get()[0] = L'\0';

    FShowPath = FOptions.Contains(sboStatusTextAndShowPath);
    const std::wstring title = win::ToWide(FCaption);
    BROWSEINFOW info{};
    info.hwndOwner = win::Application::Instance().Handle();
    info.pidlRoot = root.get();
    info.pszDisplayName = name.get();
    info.lpszTitle = title.c_str();
    info.ulFlags = browse::BrowseFlagsFor(FOptions.Bits());
    info.lpfn = &TSHBrowseForFolderEx::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    win::UniqueIdList chosen;
    {
        const DialogScope scope(FOwner);
        chosen.reset(SHBrowseForFolderW(&info));
    }
    if (!chosen) return false;

    FDisplayName = win::FromWide(name.get());
    FFolderPath = FileSystemPath(chosen.get());
    return true;
}

void TSHBrowseForFolderEx::DoSelectionChanged(HWND Wnd, const std::string& Path,
                                              std::string& ShowText,
                                              TOKButtonState& OKButtonState) {
    if (FOnSelectionChanged) FOnSelectionChanged(this, Wnd, Path, ShowText, OKButtonState);
}

int CALLBACK TSHBrowseForFolderEx::BrowseCallback(HWND wnd, UINT message, LPARAM value,
                                                  LPARAM data) {
    auto* picker = reinterpret_cast<TSHBrowseForFolderEx*>(data);
    if (!picker) return 0;
    // No exception may cross the shell's C code.
    try {
        picker->OnBrowseMessage(wnd, message, value);
    } catch (const std::exception& e) {
        win::Application::Instance().ReportError(e.what());
    } catch (...) {
        win::Application::Instance().ReportError("Unexpected error");
    }
    return 0;
}

void TSHBrowseForFolderEx::OnBrowseMessage(HWND wnd, UINT message, LPARAM value) {
    std::string path;
    std::string showText;
    TOKButtonState okState = obsNone;

    switch (message) {
    case BFFM_INITIALIZED:
        if (!FInitialPath.empty()) {
            SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(FInitialPath.c_str()));
        } else if (FInitialSelection) {
            // wParam false: the value is an identifier, not a path.
            SendMessageW(wnd, BFFM_SETSELECTIONW, FALSE,
                         reinterpret_cast<LPARAM>(FInitialSelection.get()));
        }
        PlaceDialog(wnd);
        break;
    case BFFM_SELCHANGED:
        // The identifier belongs to the shell. An item without a file-system
        // path gives an empty path.
        path = FileSystemPath(reinterpret_cast<PCIDLIST_ABSOLUTE>(value));
        DoSelectionChanged(wnd, path, showText, okState);
        break;
    default:
        break;
    }

    if (FShowPath) showText = path;
    const std::wstring status = win::ToWide(showText);
    SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
    if (okState != obsNone) SendMessageW(wnd, BFFM_ENABLEOK, 0, okState == obsEnabled ? 1 : 0);
}

void TSHBrowseForFolderEx::PlaceDialog(HWND wnd) const {
    constexpr UINT kKeepSizeAndOrder = SWP_NOSIZE | SWP_NOZORDER;
    switch (FShowStyle) {
    case ssCenterScreen: {
        RECT dialog{};
        RECT work{};
        GetWindowRect(wnd, &dialog);
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return;
        const browse::Offset at = browse::CenterScreenPosition(
            {work.left, work.top, work.right, work.bottom},
            {dialog.left, dialog.top, dialog.right, dialog.bottom});
        SetWindowPos(wnd, nullptr, at.x, at.y, 0, 0, kKeepSizeAndOrder);
        break;
    }
    case ssClient:
        if (FOwner && IsWindow(FOwner->hwnd())) {
            POINT origin{0, 0};
            ClientToScreen(FOwner->hwnd(), &origin);
            SetWindowPos(wnd, nullptr, origin.x, origin.y, 0, 0, kKeepSizeAndOrder);
        }
        break;
    case ssNone:
        break;
    }
}

}  // namespace tsly
