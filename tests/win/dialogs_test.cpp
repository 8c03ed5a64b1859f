// The options, setup and About dialogs against the real registry, shell
// links and special folders of the throwaway Wine prefix.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <functional>
#include <memory>

#include "app/settings_removal.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit6.h"
#include "dialogs/help_topics.h"
#include "platform/application.h"
#include "platform/settings_store.h"
#include "platform/text.h"
#include "tests/win/win_test_support.h"

namespace tsly {
namespace {

constexpr POINT kAt{40, 30};

void Click(const dialogs::Form& form, int id) {
    SendMessageW(form.Control(id), BM_CLICK, 0, 0);
}

RECT ClientBounds(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Types a text into an edit box as the keyboard would, one UTF-16 unit
// after the other.
void Type(HWND edit, const std::string& text) {
    for (const wchar_t unit : win::ToWide(text)) SendMessageW(edit, WM_CHAR, unit, 1);
}

// The test program's own path and folder, found without the program's helpers.
std::string TestProgramPath() {
    wchar_t path[MAX_PATH] = {};
    return win::FromWide(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
}
std::string TestProgramFolder() {
    const std::string path = TestProgramPath();
    return path.substr(0, path.find_last_of('\\') + 1);  // an ASCII build path
}

// A value as the registry holds it, every stored unit, read with the
// registry API alone: "missing" when absent, "type" when not REG_SZ.
constexpr char kSetupSection[] = "Software\\moravend\\Tessalyne\\Setup";
// What the program stored, read with the plain registry API: type and
// bytes, the terminating zero included.
test::RawRegValue Stored(const char* name, const char* keyPath = test::kOptionsKey) {
    return test::ReadRegRaw(keyPath, name);
}

SIZE ClientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

TEST(TFrmOption, OpensEmptyWithNothingStored) {
    test::CleanRegistry registry;
    TFrmOption form(kAt);
    EXPECT_EQ(form.Text(TFrmOption::EdtLink), "");
    EXPECT_EQ(form.Text(TFrmOption::Edit_cutname), "");
    EXPECT_FALSE(form.Checked(TFrmOption::CheckBox1));
    EXPECT_FALSE(form.Checked(TFrmOption::CBox2));
    EXPECT_FALSE(form.Enabled(TFrmOption::Edit_cutname));
    EXPECT_TRUE(form.Checked(TFrmOption::CheckBox3));  // the modern marker: on by default
    const SIZE client = ClientSize(form.hwnd());
    EXPECT_EQ(client.cx, 373);
    EXPECT_EQ(client.cy, 223);
    RECT outer = test::WindowRect(form.hwnd());
    EXPECT_EQ(outer.left, kAt.x);
    EXPECT_EQ(outer.top, kAt.y);
    const RECT set = ClientBounds(form.Control(TFrmOption::SpeedButton1));
    EXPECT_EQ(set.left, 166);
    EXPECT_EQ(set.top, 196);
    EXPECT_EQ(set.right - set.left, 90);
}

TEST(TFrmOption, ShowsTheStoredValuesAndEnablesTheSecondText) {
    test::CleanRegistry registry;
    {
        SettingsStore store(kSettingsKey);
        store.WriteText("Settings", "Char", "（済）Café®😀");  // not all in code page 932
        store.WriteText("Settings", "Short1", "1");
        store.WriteText("Settings", "cutnameflg", "1");
        store.WriteText("Settings", "cutname", " - コピー");
        store.WriteText("Settings", "CutModernMarker", "0");
    }
    TFrmOption form(kAt);
    EXPECT_EQ(form.Text(TFrmOption::EdtLink), "（済）Café®😀");
    EXPECT_TRUE(form.Checked(TFrmOption::CheckBox1));
    EXPECT_TRUE(form.Checked(TFrmOption::CBox2));
    EXPECT_TRUE(form.Enabled(TFrmOption::Edit_cutname));
    EXPECT_EQ(form.Text(TFrmOption::Edit_cutname), " - コピー");
    EXPECT_FALSE(form.Checked(TFrmOption::CheckBox3));
}

TEST(TFrmOption, StoresWhatTheUserSetWithTheSetButton) {
    test::CleanRegistry registry;
    {
        SettingsStore store(kSettingsKey);
        store.WriteText("Settings", "cutnameflg", "1");
    }
    TFrmOption form(kAt);
    form.SetText(TFrmOption::EdtLink, "");
    SendMessageW(form.Control(TFrmOption::CheckBox1), BM_CLICK, 0, 0);
    SendMessageW(form.Control(TFrmOption::CheckBox3), BM_CLICK, 0, 0);
    form.SetText(TFrmOption::Edit_cutname, "");
    Type(form.Control(TFrmOption::Edit_cutname), " 表示 Café®😀한中 ");
    // Unticking disables the field at once but keeps its text.
    SendMessageW(form.Control(TFrmOption::CBox2), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.Enabled(TFrmOption::Edit_cutname));
    EXPECT_EQ(form.Text(TFrmOption::Edit_cutname), " 表示 Café®😀한中 ");

    Click(form, TFrmOption::SpeedButton1);
    EXPECT_TRUE(form.Closed());
    // Each as REG_SZ with its terminating zero; "Char" present and empty,
    // "cutname" untrimmed.
    const std::pair<const char*, std::string> stored[] = {
        {"Char", ""}, {"Short1", "1"}, {"cutnameflg", "0"},
        {"cutname", " 表示 Café®😀한中 "}, {"CutModernMarker", "0"}};
    for (const auto& [name, text] : stored) EXPECT_EQ(Stored(name), test::RegSz(win::ToWide(text))) << name;
}

// A second text that is part of ".lnk" is kept only when the user says so;
// Cancel goes back to the field.
TEST(TFrmOption, AskOnceBeforeKeepingASecondTextThatCanTakeTheExtension) {
    struct Case { const char* text; bool ticked, cancel; std::size_t asked; bool stored; };
    const Case cases[] = {
        {".", true, true, 1, false}, {".LNK", true, false, 1, true},
        {"lnk", false, false, 0, true}, {" - コピー", true, true, 0, true},
    };
    for (const Case& c : cases) {
        test::CleanRegistry registry;
        test::MessageBoxWatcher watcher(GetCurrentProcessId(), [&](HWND box) {
            if (c.cancel) SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
        });
        TFrmOption form(kAt);
        if (c.ticked) SendMessageW(form.Control(TFrmOption::CBox2), BM_CLICK, 0, 0);
        form.SetText(TFrmOption::Edit_cutname, c.text);
        Click(form, TFrmOption::SpeedButton1);
        EXPECT_EQ(watcher.Texts().size(), c.asked) << c.text;
        EXPECT_EQ(form.Closed(), c.stored) << c.text;
        EXPECT_EQ(Stored("cutname").present, c.stored) << c.text;
        if (!c.stored) {
            EXPECT_EQ(GetFocus(), form.Control(TFrmOption::Edit_cutname)) << c.text;
        }
    }
}

TEST(TFrmOption, CancelAndCloseBoxWriteNothing) {
    test::CleanRegistry registry;
    {
        SettingsStore store(kSettingsKey);
        store.WriteText("Settings", "Char", "old");
    }
    TFrmOption form(kAt);
    form.SetText(TFrmOption::EdtLink, "new");
    Click(form, TFrmOption::SpeedButton2);
    EXPECT_TRUE(form.Closed());
    TFrmOption second(kAt);
    second.SetText(TFrmOption::EdtLink, "newer");
    SendMessageW(second.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(second.Closed());
    // Escape arrives as IDCANCEL and cancels.
    TFrmOption third(kAt);
    third.SetText(TFrmOption::EdtLink, "newest");
    SendMessageW(third.hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(third.Closed());
    EXPECT_EQ(Stored("Char"), test::RegSz(L"old"));
    EXPECT_FALSE(Stored("Short1").present);
}

TEST(TFrmOption, ReportsAStoreErrorAndStillOpensWithWhatWasRead) {
    test::CleanRegistry registry;
    {
        SettingsStore store(kSettingsKey);
        store.WriteText("Settings", "Char", "read first");
    }
    // A number where text belongs: reading "Short1" fails.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\moravend\\Tessaly\\Settings", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 1;
    RegSetValueExW(key, L"Short1", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);

    test::MessageBoxWatcher watcher;
    TFrmOption form(kAt);
    EXPECT_EQ(form.Text(TFrmOption::EdtLink), "read first");
    EXPECT_FALSE(form.Checked(TFrmOption::CBox2));
    const auto texts = watcher.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("Short1"), std::string::npos);
}

// A program shortcut loaded back through the shell link object.
struct LoadedLink {
    bool loaded = false;
    std::string target, workingFolder, description;
    std::string targetItem;  // the target as its item identifier names it
};

LoadedLink LoadLink(const std::string& path) {
    LoadedLink result;
    const win::ComScope com;
    IShellLinkW* rawLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&rawLink)))) {
        return result;
    }
    const win::ComPtr<IShellLinkW> link(rawLink);
    IPersistFile* rawFile = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) {
        return result;
    }
    const win::ComPtr<IPersistFile> file(rawFile);
    if (FAILED(file->Load(win::ToWide(path).c_str(), STGM_READ))) return result;
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, 0);
    result.target = win::FromWide(text);
    ITEMIDLIST* rawId = nullptr;
    if (SUCCEEDED(link->GetIDList(&rawId)) && rawId) {
        const win::UniqueIdList id(rawId);
        SHGetPathFromIDListW(id.get(), text);
        result.targetItem = win::FromWide(text);
    }
    link->GetWorkingDirectory(text, MAX_PATH);
    result.workingFolder = win::FromWide(text);
    link->GetDescription(text, MAX_PATH);
    result.description = win::FromWide(text);
    result.loaded = true;
    return result;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(win::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes the program shortcut and anything of its name from the three
// folders, before and after a test.
class CleanShortcuts {
public:
    CleanShortcuts() { Clean(); }
    ~CleanShortcuts() { Clean(); }
    static std::string In(int folderId) { return TFrmSetup::ShortcutPath(folderId, "Tessalyne"); }

private:
    static void Clean() {
        for (int folder : {CSIDL_DESKTOPDIRECTORY, CSIDL_SENDTO, CSIDL_STARTUP}) {
            const std::wstring path = win::ToWide(In(folder));
            DeleteFileW(path.c_str());
            RemoveDirectoryW(path.c_str());
        }
    }
};

TEST(TFrmSetup, MakesTheSendToShortcutAndRemovesTheOthers) {
    test::CleanRegistry registry;
    CleanShortcuts shortcuts;
    const std::string sendTo = CleanShortcuts::In(CSIDL_SENDTO);
    const std::string desktop = CleanShortcuts::In(CSIDL_DESKTOPDIRECTORY);
    const std::string startup = CleanShortcuts::In(CSIDL_STARTUP);
    ASSERT_FALSE(sendTo.empty());
    ASSERT_FALSE(desktop.empty());
    ASSERT_FALSE(startup.empty());
    // A file of the shortcut's name that the user made on the desktop.
    std::ofstream(win::ToWide(desktop).c_str()) << "not a shortcut";
    ASSERT_TRUE(Exists(desktop));

    test::MessageBoxWatcher watcher;
    {
        TFrmSetup form(kAt);
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox1));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox2));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox3));
        SendMessageW(form.Control(TFrmSetup::CheckBox2), BM_CLICK, 0, 0);
        Click(form, TFrmSetup::SpeedButton1);
        EXPECT_TRUE(form.Closed());
    }
    const LoadedLink link = LoadLink(sendTo);
    ASSERT_TRUE(link.loaded) << sendTo;
    EXPECT_STRCASEEQ(link.target.c_str(), TestProgramPath().c_str());
    EXPECT_EQ(link.workingFolder, TestProgramFolder());
    EXPECT_EQ(link.description, "Tessalyne");
    EXPECT_FALSE(Exists(desktop));
    EXPECT_FALSE(Exists(startup));

    EXPECT_EQ(Stored("DeskTop", kSetupSection), test::RegSz(L"0"));
    EXPECT_EQ(Stored("SendTo", kSetupSection), test::RegSz(L"1"));
    EXPECT_EQ(Stored("StartUp", kSetupSection), test::RegSz(L"0"));

    // Opening again shows the choice; "設定" again replaces the file.
    {
        TFrmSetup form(kAt);
        EXPECT_TRUE(form.Checked(TFrmSetup::CheckBox2));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox1));
        Click(form, TFrmSetup::SpeedButton1);
    }
    EXPECT_TRUE(LoadLink(sendTo).loaded);
    EXPECT_EQ(watcher.Texts(), (std::vector<std::string>{"設定しました。", "設定しました。"}));
}

TEST(TFrmSetup, KeepsAProgramPathOutsideTheCodePageWhole) {
    CleanShortcuts shortcuts;
    test::TempDir temp;
    const std::string folder = temp.path() + "Café®😀한中\\";
    const std::string program = folder + "tsly.exe";
    const std::wstring wideFolder = win::ToWide(folder);
    const std::wstring wideProgram = win::ToWide(program);
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    CloseHandle(CreateFileW(wideProgram.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                            nullptr));
    EXPECT_TRUE(TFrmSetup::MakeShortcut(folder, program, "Tessalyne", CSIDL_SENDTO, true));
    const LoadedLink link = LoadLink(CleanShortcuts::In(CSIDL_SENDTO));
    DeleteFileW(wideProgram.c_str());
    RemoveDirectoryW(wideFolder.c_str());
    ASSERT_TRUE(link.loaded);
    // Wine answers GetPath from the link's ANSI copy of the path, so the
    // target is read from the identifier the link keeps.
    EXPECT_EQ(link.targetItem, program);
    EXPECT_EQ(link.workingFolder, folder);
}

TEST(TFrmSetup, NamesTheFoldersWhereAShortcutCouldNotBeMadeOrRemoved) {
    test::CleanRegistry registry;
    CleanShortcuts shortcuts;
    // Folders in the way of the files: no shortcut can be saved or deleted.
    const std::string sendTo = CleanShortcuts::In(CSIDL_SENDTO);
    const std::string startup = CleanShortcuts::In(CSIDL_STARTUP);
    ASSERT_TRUE(CreateDirectoryW(win::ToWide(sendTo).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(win::ToWide(startup).c_str(), nullptr));

    test::MessageBoxWatcher watcher;
    {
        TFrmSetup form(kAt);
        SendMessageW(form.Control(TFrmSetup::CheckBox1), BM_CLICK, 0, 0);
        SendMessageW(form.Control(TFrmSetup::CheckBox2), BM_CLICK, 0, 0);
        Click(form, TFrmSetup::SpeedButton1);
        EXPECT_TRUE(form.Closed());
    }
    const auto texts = watcher.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].find("設定しました"), std::string::npos);
    EXPECT_NE(texts[0].find("「送る」メニューにショートカットを作成できませんでした"),
              std::string::npos);
    EXPECT_NE(texts[0].find("スタートアップのショートカットを削除できませんでした"),
              std::string::npos);
    EXPECT_EQ(texts[0].find("デスクトップ"), std::string::npos);  // that one worked
    EXPECT_TRUE(LoadLink(CleanShortcuts::In(CSIDL_DESKTOPDIRECTORY)).loaded);
    // The choices are kept, so that "設定" can try again.
    EXPECT_EQ(Stored("SendTo", kSetupSection), test::RegSz(L"1"));
}

TEST(TFrmSetup, CancelTouchesNothing) {
    test::CleanRegistry registry;
    CleanShortcuts shortcuts;
    TFrmSetup form(kAt);
    SendMessageW(form.Control(TFrmSetup::CheckBox3), BM_CLICK, 0, 0);
    Click(form, TFrmSetup::SpeedButton2);
    EXPECT_TRUE(form.Closed());
    EXPECT_FALSE(Exists(CleanShortcuts::In(CSIDL_STARTUP)));
    EXPECT_FALSE(Stored("StartUp", kSetupSection).present);
}

TEST(TAboutBox, ShowsTheProgramAndOpensTheHomePageFromLinkAndButton) {
    std::vector<ShellOpenRequest> opened;
    std::vector<HWND> owners;
    TAboutBox box(kAt, [&](HWND owner, const ShellOpenRequest& request) {
        owners.push_back(owner);
        opened.push_back(request);
    });
    EXPECT_EQ(box.Text(TAboutBox::Label1), "Tessalyne");
    EXPECT_EQ(box.Text(TAboutBox::Version), "Version1.30");
    EXPECT_EQ(box.Text(TAboutBox::Label2), "ショートカット編集ツール");
    EXPECT_EQ(box.Text(TAboutBox::Label5), kHomePage);
    EXPECT_NE(box.Text(TAboutBox::Copyright).find(kAuthorName), std::string::npos);
    const SIZE client = ClientSize(box.hwnd());
    EXPECT_EQ(client.cx, 325);
    EXPECT_EQ(client.cy, 151);
    const RECT link = ClientBounds(box.Control(TAboutBox::Label5));
    EXPECT_EQ(link.left, 62);
    EXPECT_EQ(link.top, 84);
    EXPECT_EQ(GetParent(box.Control(TAboutBox::SpeedButton1)), box.Control(TAboutBox::Panel2));

    SendMessageW(box.Control(TAboutBox::Label5), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageW(box.Control(TAboutBox::Label5), WM_LBUTTONUP, 0, 0);
    Click(box, TAboutBox::SpeedButton1);
    ASSERT_EQ(opened.size(), 2u);
    for (std::size_t i = 0; i < opened.size(); ++i) {
        EXPECT_EQ(owners[i], box.hwnd());
        EXPECT_EQ(opened[i].operation, "open");
        EXPECT_EQ(opened[i].file, kHomePage);
        EXPECT_EQ(opened[i].parameters, "");
        EXPECT_EQ(opened[i].directory, TestProgramFolder());
        EXPECT_EQ(opened[i].show, SW_SHOWDEFAULT);
    }
    EXPECT_FALSE(box.Closed());  // the box stays open
    Click(box, TAboutBox::SpeedButton2);
    EXPECT_TRUE(box.Closed());
}

TEST(TAboutBox, ClosesFromTheSystemMenu) {
    TAboutBox box(kAt, [](HWND, const ShellOpenRequest&) {});
    SendMessageW(box.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(box.Closed());
}

// The pixels of an icon drawn on white, for comparing icons across handles.
std::vector<COLORREF> IconPixels(HICON icon, int size) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Runs the form modally until a timer on this thread has looked at it.
dialogs::Form* g_shown = nullptr;
std::function<void(dialogs::Form&)> g_look;

void CALLBACK LookAtShownForm(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_shown) return;
    g_look(*g_shown);
    g_shown->Close();
    g_shown = nullptr;
}

void ShowAndLook(dialogs::Form& form, std::function<void(dialogs::Form&)> look) {
    g_shown = &form;
    g_look = std::move(look);
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &LookAtShownForm);
    form.ShowModal();
    KillTimer(nullptr, timer);
}

TEST(Forms, KeepTheirIconAtEveryOpening) {
    test::CleanRegistry registry;
    // Each frame is drawn for its size: the small icon is compared with the
    // program's 16 px frame, the big one with its 32 px frame.
    const auto programIcon = [](int size) {
        HICON program = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        const std::vector<COLORREF> pixels = IconPixels(program, size);
        DestroyIcon(program);
        return pixels;
    };
    const std::vector<COLORREF> expected[] = {programIcon(16), programIcon(32)};
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        std::vector<std::unique_ptr<dialogs::Form>> forms;
        forms.push_back(std::make_unique<TFrmOption>(kAt));
        forms.push_back(std::make_unique<TFrmSetup>(kAt));
        forms.push_back(std::make_unique<TAboutBox>(kAt, [](HWND, const ShellOpenRequest&) {}));
        for (const auto& form : forms) {
            for (WPARAM which : {ICON_SMALL, ICON_BIG}) {
                auto icon = reinterpret_cast<HICON>(SendMessageW(form->hwnd(), WM_GETICON, which, 0));
                ICONINFO info{};
                ASSERT_TRUE(icon && GetIconInfo(icon, &info)) << which;
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
                const int size = which == ICON_BIG ? 32 : 16;
                EXPECT_EQ(IconPixels(icon, size), expected[which == ICON_BIG]) << which;
            }
        }
    }
}

TEST(Forms, OpenWithTheFocusOnTheFirstControlInTabOrder) {
    test::CleanRegistry registry;
    HWND focus = nullptr;
    auto look = [&](dialogs::Form&) { focus = GetFocus(); };
    {
        TFrmOption form(kAt);
        ShowAndLook(form, look);
        EXPECT_EQ(focus, form.Control(TFrmOption::PageControl1));
    }
    {
        TFrmSetup form(kAt);
        ShowAndLook(form, look);
        EXPECT_EQ(focus, form.Control(TFrmSetup::CheckBox1));
        // Space then ticks it, as nothing else has to be pressed first.
        auto space = [&](dialogs::Form& shown) {
            SendMessageW(GetFocus(), WM_KEYDOWN, VK_SPACE, 0);
            SendMessageW(GetFocus(), WM_KEYUP, VK_SPACE, 0);
            focus = shown.Checked(TFrmSetup::CheckBox1) ? GetFocus() : nullptr;
        };
        TFrmSetup second(kAt);
        ShowAndLook(second, space);
        EXPECT_EQ(focus, second.Control(TFrmSetup::CheckBox1));
    }
}

TEST(HelpFilePath, LiesBesideTheExecutableWhateverTheCurrentDirectory) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    test::TempDir temp;
    SetCurrentDirectoryW(win::ToWide(temp.path()).c_str());
    const std::string help = HelpFilePath();
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(help, TestProgramFolder() + "TSLY.hlp");
}

// Points the shell's "open" of .html files at cmd.exe, which writes the
// opened path into `log`: the page reaches the shell the way a browser
// would get it. The old association is put back afterwards.
class HtmlOpenRecorder {
public:
    explicit HtmlOpenRecorder(const std::string& log) {
        HKEY ext = nullptr;
        RegCreateKeyExW(HKEY_CLASSES_ROOT, L".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &ext, nullptr);
        wchar_t old[256] = {};
        DWORD size = sizeof old;
        hadOld_ = RegQueryValueExW(ext, nullptr, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        old_ = old;
        SetDefault(ext, kClass);
        RegCloseKey(ext);
        HKEY command = nullptr;
        RegCreateKeyExW(HKEY_CLASSES_ROOT, (std::wstring(kClass) + L"\\shell\\open\\command").c_str(),
                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &command, nullptr);
        SetDefault(command, L"cmd.exe /c echo %1>\"" + win::ToWide(log) + L"\"");
        RegCloseKey(command);
    }
    ~HtmlOpenRecorder() {
        HKEY ext = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".html", 0, KEY_ALL_ACCESS, &ext) == ERROR_SUCCESS) {
            if (hadOld_) SetDefault(ext, old_);
            else RegDeleteValueW(ext, nullptr);
            RegCloseKey(ext);
        }
        SHDeleteKeyW(HKEY_CLASSES_ROOT, kClass);
    }

private:
    static constexpr wchar_t kClass[] = L"TslyTest.HtmlPage";
    static void SetDefault(HKEY key, const std::wstring& value) {
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    bool hadOld_ = false;
    std::wstring old_;
};

TEST(ShowHelpFrom, OpensThePageWithoutAHelpFileElseSaysThereIsNone) {
    struct Row {
        bool page;
        HelpShown shown;
        std::size_t boxes;
    };
    const Row rows[] = {
        {true, HelpShown::Page, 0},
        {false, HelpShown::Missing, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.page);
        test::TempDir temp;
        if (row.page) temp.Make("tsly.html", "<html></html>");
        const std::string log = temp.path() + "opened.txt";
        HtmlOpenRecorder recorder(log);
        test::MessageBoxWatcher watcher;
        EXPECT_EQ(ShowHelpFrom(nullptr, win::ToWide(temp.path())), row.shown);
        const auto texts = watcher.Texts();
        ASSERT_EQ(texts.size(), row.boxes);
        if (row.boxes) {
            EXPECT_NE(texts[0].find("tsly.html"), std::string::npos);
        }
        // Without the page there is nothing to open; with it, cmd.exe runs
        // on its own until it has written its line.
        if (!row.page) continue;
        std::string line;
        EXPECT_TRUE(test::PumpUntil([&] {
            std::ifstream in(log);
            return static_cast<bool>(std::getline(in, line));
        }));
        std::string url = "file:///" + temp.path() + "tsly.html";
        std::replace(url.begin(), url.end(), '\\', '/');
        EXPECT_NE(line.find(url), std::string::npos) << "[" << line << "]";
    }
}

// Keys pressed in a shown form go through the program's own message loop:
// Enter does what "設定" does and Escape what "ｷｬﾝｾﾙ" does; in the About box
// both close it. In the setup dialog's memo, Escape neither closes nor
// cancels, and Tab leaves it.
TEST(Forms, EnterAndEscapeFromTheKeyboard) {
    test::CleanRegistry registry;
    const auto press = [](dialogs::Form& form, HWND control, WPARAM key) {
        ShowWindow(form.hwnd(), SW_SHOW);
        SetForegroundWindow(form.hwnd());
        SetFocus(control);
        PostMessageW(control, WM_KEYDOWN, key, 0);
        win::Application::Instance().ProcessMessages();
    };
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        TFrmOption form(kAt);
        form.SetText(TFrmOption::EdtLink, key == VK_RETURN ? "enter" : "escape");
        press(form, form.Control(TFrmOption::EdtLink), key);
        EXPECT_TRUE(form.Closed());
        EXPECT_EQ(Stored("Char"), key == VK_RETURN ? test::RegSz(L"enter") : test::RawRegValue{});
        TAboutBox box(kAt, [](HWND, const ShellOpenRequest&) {});
        press(box, box.hwnd(), key);
        EXPECT_TRUE(box.Closed());
    }
    TFrmSetup setup(kAt);
    HWND memo = setup.Control(TFrmSetup::Memo1);
    press(setup, memo, VK_ESCAPE);
    EXPECT_FALSE(setup.Closed());
    press(setup, memo, VK_TAB);
    EXPECT_NE(GetFocus(), memo);
}

// Explorer's naming of new shortcuts against the real registry: after
// unticking, and after deleting the settings, Explorer's two values are
// back exactly as they were, whatever they were.
TEST(TFrmSetup, NoMarkerPutsExplorersOwnValuesBackExactly) {
    using test::RawRegValue;
    const auto explorerValues = [] {
        return std::make_pair(test::ReadRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate"),
                              test::ReadRegRaw(test::kExplorerKey, "link"));
    };
    const auto prefix = explorerValues();
    const auto save = [](bool noMarker) {
        TFrmSetup form(kAt);
        if (form.Checked(TFrmSetup::CheckBox4) != noMarker) Click(form, TFrmSetup::CheckBox4);
        Click(form, TFrmSetup::SpeedButton1);
    };
    const std::string notice = "設定しました。\r\nこの変更は、エクスプローラの再起動後または"
                               "次回のサインイン後に作成するショートカットから有効になります。";
    struct Row {
        const char* what;
        RawRegValue nameTemplate, link;
    };
    const Row rows[] = {
        {"absent", {}, {}},
        {"other data", test::RegSz(L"%s (リンク).lnk"), {true, REG_BINARY, {0x1e, 0, 0, 0}}},
        {"link of the wrong type", test::RegSz(L"", REG_EXPAND_SZ), test::RegSz(L"0")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::CleanRegistry registry;
        CleanShortcuts shortcuts;
        test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", row.nameTemplate);
        test::WriteRegRaw(test::kExplorerKey, "link", row.link);
        test::MessageBoxWatcher watcher;
        save(true);
        EXPECT_EQ(explorerValues(), std::make_pair(test::RegSz(L"\"%s.lnk\""),
                                                   RawRegValue{true, REG_BINARY, {0, 0, 0, 0}}));
        EXPECT_EQ(test::ReadRegText(std::string(kSetupKey) + "Setup", "NoMarker"), "1");
        save(true);  // saved again: the copy is still the user's values
        save(false);
        EXPECT_EQ(explorerValues(), std::make_pair(row.nameTemplate, row.link));
        EXPECT_FALSE(test::ReadRegRaw("Software\\moravend\\Tessalyne\\Explorer", "link").present);
        save(true);
        const SettingsRemoval removal = RemoveAllSettings();
        EXPECT_TRUE(removal.deleted && removal.namingPutBack);
        EXPECT_EQ(explorerValues(), std::make_pair(row.nameTemplate, row.link));
        EXPECT_FALSE(test::RegKeyExists("Software\\moravend\\Tessalyne"));
        EXPECT_EQ(watcher.Texts(),
                  (std::vector<std::string>{notice, "設定しました。", notice, notice}));
    }
    test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", prefix.first);
    test::WriteRegRaw(test::kExplorerKey, "link", prefix.second);
}

}  // namespace
}  // namespace tsly
