// The options, setup and About dialogs against the real registry, shell
// links and special folders of the throwaway Wine prefix.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <oleacc.h>

#include <algorithm>
#include <thread>

#include <fstream>
#include <functional>
#include <memory>

#include "dialogs/options_dialog.h"
#include "dialogs/about_box.h"
#include "dialogs/setup_dialog.h"
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

// Makes a key below HKEY_CURRENT_USER, or deletes it with all below it.
void MakeRegKey(const std::string& path) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, win::ToWide(path).c_str(), 0, nullptr, 0, KEY_READ, nullptr,
                    &key, nullptr);
    RegCloseKey(key);
}
void DeleteRegKey(const std::string& path) { SHDeleteKeyW(HKEY_CURRENT_USER, win::ToWide(path).c_str()); }

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
    EXPECT_FALSE(form.Checked(TFrmOption::CheckBox4));  // the prefixes: off by default
    const SIZE client = ClientSize(form.hwnd());
    EXPECT_EQ(client.cx, 373);
    EXPECT_EQ(client.cy, 243);
    RECT outer = test::WindowRect(form.hwnd());
    EXPECT_EQ(outer.left, kAt.x);
    EXPECT_EQ(outer.top, kAt.y);
    const RECT set = ClientBounds(form.Control(TFrmOption::SpeedButton1));
    EXPECT_EQ(set.left, 166);
    EXPECT_EQ(set.top, 216);
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
        store.WriteText("Settings", "CutPrefixMarker", "1");
    }
    TFrmOption form(kAt);
    EXPECT_EQ(form.Text(TFrmOption::EdtLink), "（済）Café®😀");
    EXPECT_TRUE(form.Checked(TFrmOption::CheckBox1));
    EXPECT_TRUE(form.Checked(TFrmOption::CBox2));
    EXPECT_TRUE(form.Enabled(TFrmOption::Edit_cutname));
    EXPECT_EQ(form.Text(TFrmOption::Edit_cutname), " - コピー");
    EXPECT_FALSE(form.Checked(TFrmOption::CheckBox3));
    EXPECT_TRUE(form.Checked(TFrmOption::CheckBox4));
    // The second text's box and field in line with the box and field above.
    const auto left = [&](int id) { return test::WindowRect(form.Control(id)).left; };
    EXPECT_EQ(left(TFrmOption::CBox2), left(TFrmOption::CheckBox4));
    EXPECT_EQ(left(TFrmOption::Edit_cutname), left(TFrmOption::EdtLink));
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
    SendMessageW(form.Control(TFrmOption::CheckBox4), BM_CLICK, 0, 0);
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
        {"cutname", " 表示 Café®😀한中 "}, {"CutModernMarker", "0"}, {"CutPrefixMarker", "1"}};
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

TEST(TFrmSetup, MakesAndRemovesOnlyTheProgramsOwnShortcuts) {
    test::CleanRegistry registry;
    CleanShortcuts shortcuts;
    const std::string sendTo = CleanShortcuts::In(CSIDL_SENDTO);
    const std::string desktop = CleanShortcuts::In(CSIDL_DESKTOPDIRECTORY);
    const std::string startup = CleanShortcuts::In(CSIDL_STARTUP);
    ASSERT_FALSE(sendTo.empty());
    ASSERT_FALSE(desktop.empty());
    ASSERT_FALSE(startup.empty());
    // The user's own files of the shortcut's name: no shortcut at all on the
    // desktop, a shortcut to another copy of the program in the start-up folder.
    std::ofstream(win::ToWide(desktop).c_str()) << "not a shortcut";
    const std::string name = TestProgramPath().substr(TestProgramFolder().size());
    test::TempDir elsewhere;
    const std::string copy = elsewhere.Make(name);
    ASSERT_EQ(TFrmSetup::MakeShortcut("C:\\", copy, "Tessalyne", CSIDL_STARTUP, true),
              TFrmSetup::Change::Done);

    test::MessageBoxWatcher watcher;
    {
        TFrmSetup form(kAt);
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox1));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox2));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox3));
        SendMessageW(form.Control(TFrmSetup::CheckBox2), BM_CLICK, 0, 0);
        SendMessageW(form.Control(TFrmSetup::CheckBox3), BM_CLICK, 0, 0);
        Click(form, TFrmSetup::SpeedButton1);
        EXPECT_TRUE(form.Closed());
    }
    const LoadedLink link = LoadLink(sendTo);
    ASSERT_TRUE(link.loaded) << sendTo;
    EXPECT_STRCASEEQ(link.target.c_str(), TestProgramPath().c_str());
    EXPECT_EQ(link.workingFolder, TestProgramFolder());
    EXPECT_EQ(link.description, "Tessalyne");
    EXPECT_TRUE(Exists(desktop));
    EXPECT_STRCASEEQ(LoadLink(startup).targetItem.c_str(), copy.c_str());

    EXPECT_EQ(Stored("DeskTop", kSetupSection), test::RegSz(L"0"));
    EXPECT_EQ(Stored("SendTo", kSetupSection), test::RegSz(L"1"));
    EXPECT_EQ(Stored("StartUp", kSetupSection), test::RegSz(L"0"));  // the user's is there

    // The program's own shortcut, its path in other letters, is replaced or
    // removed; opening again shows the choices.
    DeleteFileW(win::ToWide(desktop).c_str());
    DeleteFileW(win::ToWide(copy).c_str());  // the program moved from there
    std::wstring upper = win::ToWide(TestProgramPath());
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    ASSERT_EQ(TFrmSetup::MakeShortcut(TestProgramFolder(), win::FromWide(upper), "Tessalyne",
                                      CSIDL_DESKTOPDIRECTORY, true),
              TFrmSetup::Change::Done);
    {
        TFrmSetup form(kAt);
        EXPECT_TRUE(form.Checked(TFrmSetup::CheckBox2));
        EXPECT_FALSE(form.Checked(TFrmSetup::CheckBox3));
        SendMessageW(form.Control(TFrmSetup::CheckBox3), BM_CLICK, 0, 0);
        Click(form, TFrmSetup::SpeedButton1);
    }
    EXPECT_TRUE(LoadLink(sendTo).loaded);
    EXPECT_FALSE(Exists(desktop));
    EXPECT_STRCASEEQ(LoadLink(startup).target.c_str(), TestProgramPath().c_str());
    const auto texts = watcher.Texts();
    ASSERT_EQ(texts.size(), 2u);
    for (const char* folder : {"デスクトップ", "スタートアップ"}) {
        EXPECT_NE(texts[0].find(std::string(folder) + "の Tessalyne.lnk はこのプログラムへの"
                                "ショートカットではないため、そのままにしました。"),
                  std::string::npos) << texts[0];
    }
    EXPECT_EQ(texts[0].find("送る"), std::string::npos);
    EXPECT_EQ(texts[1], "設定しました。\r\nスタートアップの Tessalyne.lnk は移動する前のこのプログラムへの"
                        "ショートカットだったため、置き換えました。");
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
    EXPECT_EQ(TFrmSetup::MakeShortcut(folder, program, "Tessalyne", CSIDL_SENDTO, true),
              TFrmSetup::Change::Done);
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
    EXPECT_EQ(box.AccessibleRole(box.Control(TAboutBox::Label5)), ROLE_SYSTEM_LINK);
    EXPECT_EQ(box.AccessibleRole(box.Control(TAboutBox::SpeedButton1)), 0);
    // The names in dark blue, the rest in the window's text colour.
    const struct { int id; COLORREF colour; } looks[] = {
        {TAboutBox::Label1, 0xA00000}, {TAboutBox::Label2, GetSysColor(COLOR_WINDOWTEXT)}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& look : looks) {
        SendMessageW(box.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(box.Control(look.id)));
        EXPECT_EQ(GetTextColor(dc), look.colour) << look.id;
    }
    DeleteDC(dc);

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
        EXPECT_EQ(focus, form.Control(TFrmOption::CheckBox1));
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

// What a keyboard user and an accessibility client meet in a shown form,
// seen from another thread by window messages and oleacc.
struct SeenControl {
    HWND hwnd;
    std::wstring className;
    LONG style;
    bool enabled;
    std::wstring text;
    std::wstring name;  // read through oleacc
    RECT bounds;        // on the screen
};
struct Walk {
    std::vector<SeenControl> controls;
    std::vector<HWND> tabCycle;          // from the first focus round to it again
    struct Key {
        HWND owner;  // the control whose caption has it
        HWND went;   // where the focus went when it was pressed
    };
    std::vector<Key> accessKeys;
    bool closed = false;
};

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// The key press a keyboard gives the focused control; returns where the
// focus went once it moved (or stayed, for a key that keeps it).
HWND PressAndWait(DWORD thread, UINT message, WPARAM key, bool focusMoves) {
    HWND before = FocusOf(thread);
    PostMessageW(before, message, key, message == WM_SYSCHAR ? (1 << 29) : 0);
    if (!focusMoves) return FocusOf(thread);
    test::PumpUntil([&] { return FocusOf(thread) != before; }, 2000);
    // The focus may pass another control on its way: what counts is where
    // it stays.
    HWND last = nullptr;
    int same = 0;
    test::PumpUntil([&] {
        const HWND now = FocusOf(thread);
        same = now == last ? same + 1 : 0;
        last = now;
        return same >= 3;
    }, 2000);
    return last;
}

SeenControl Look(HWND control) {
    SeenControl seen{control, {}, GetWindowLongW(control, GWL_STYLE),
                     IsWindowEnabled(control) != FALSE, {}, {}, test::WindowRect(control)};
    wchar_t text[256] = {};
    GetClassNameW(control, text, 256);
    seen.className = text;
    GetWindowTextW(control, text, 256);
    seen.text = text;
    IAccessible* raw = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&raw))) &&
        raw) {
        const win::ComPtr<IAccessible> object(raw);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        if (object->get_accName(self, &name) == S_OK && name) seen.name = name;
        SysFreeString(name);
    }
    return seen;
}

BOOL CALLBACK LookAtChild(HWND child, LPARAM seen) {
    reinterpret_cast<std::vector<SeenControl>*>(seen)->push_back(Look(child));
    return TRUE;
}

bool TakesInput(const SeenControl& c) {
    if (c.className == L"SysTabControl32") return (c.style & WS_TABSTOP) != 0;  // one page: none
    if (c.className == L"Edit") return true;
    return c.className == L"Button" && (c.style & BS_TYPEMASK) != BS_GROUPBOX;
}
bool IsPushButton(const SeenControl& c) {
    const LONG type = c.style & BS_TYPEMASK;
    return c.className == L"Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}
// What a screen reader calls a button: a push button (role and default
// action), a check box or a group frame; nothing drawn by its owner.
bool IsStandardButton(const SeenControl& c) {
    const LONG type = c.style & BS_TYPEMASK;
    return IsPushButton(c) || type == BS_AUTOCHECKBOX || type == BS_GROUPBOX;
}

// The caption a sighted user would name a control by: its own; for a page
// control its page's; for a field the frame around it, else the nearest
// caption above it that it lies under. Null for a page control.
const SeenControl* LabelOf(const SeenControl& c, const std::vector<SeenControl>& all) {
    if (c.className == L"Button") return &c;
    if (c.className == L"SysTabControl32") return nullptr;
    const SeenControl* best = nullptr;
    for (const SeenControl& o : all) {
        const bool frame = o.className == L"Button" && (o.style & BS_TYPEMASK) == BS_GROUPBOX;
        RECT both{};
        if (frame && IntersectRect(&both, &o.bounds, &c.bounds) && EqualRect(&both, &c.bounds)) {
            return &o;
        }
        const bool caption = o.className == L"Static" || (o.className == L"Button" && !frame);
        const bool above = o.bounds.bottom <= c.bounds.top + 2 && o.bounds.left < c.bounds.right &&
                           o.bounds.right > c.bounds.left;
        if (caption && above && !o.text.empty() && (!best || o.bounds.bottom > best->bounds.bottom)) {
            best = &o;
        }
    }
    return best;
}

std::wstring LabelSeen(const SeenControl& c, const std::vector<SeenControl>& all) {
    if (c.className == L"SysTabControl32") {
        return test::TabText(c.hwnd, static_cast<int>(SendMessageW(c.hwnd, TCM_GETCURSEL, 0, 0)));
    }
    const SeenControl* label = LabelOf(c, all);
    return label ? dialogs::WithoutAccessKey(label->text) : std::wstring();
}

wchar_t AccessKeyOf(const std::wstring& text) {
    const std::size_t amp = text.find(L'&');
    return amp == std::wstring::npos || amp + 1 >= text.size() ? 0 : text[amp + 1];
}

// On another thread while the form runs modally: the tab cycle, every
// access key, the names; then `before` (keys on the way) and `finalKey`.
Walk WalkForm(HWND form, DWORD thread, const std::vector<std::pair<UINT, WPARAM>>& before,
              WPARAM finalKey) {
    const win::ComScope com;
    Walk walk;
    test::PumpUntil([&] { return IsWindowVisible(form) && IsChild(form, FocusOf(thread)); });
    EnumChildWindows(form, &LookAtChild, reinterpret_cast<LPARAM>(&walk.controls));
    const HWND first = FocusOf(thread);
    for (HWND at = first; walk.tabCycle.size() < 30;) {
        walk.tabCycle.push_back(at);
        at = PressAndWait(thread, WM_KEYDOWN, VK_TAB, true);
        if (at == first) break;
    }
    for (const SeenControl& c : walk.controls) {
        const wchar_t key = AccessKeyOf(c.text);
        if (!key || !c.enabled) continue;
        // Pressed twice: a check box ends as it began.
        const bool toggles = c.className == L"Button";
        HWND went = PressAndWait(thread, WM_SYSCHAR, key, FocusOf(thread) != c.hwnd);
        if (toggles) PressAndWait(thread, WM_SYSCHAR, key, false);
        walk.accessKeys.push_back({c.hwnd, went});
    }
    for (const auto& [message, key] : before) PressAndWait(thread, message, key, false);
    PostMessageW(FocusOf(thread), WM_KEYDOWN, finalKey, 0);
    walk.closed = test::PumpUntil([&] { return !IsWindowVisible(form); });
    if (!walk.closed) PostMessageW(form, WM_CLOSE, 0, 0);  // the test goes on
    return walk;
}

// Each dialog from the keyboard: every control that takes input is reached
// by Tab or an access key, has the name its caption or label gives it and,
// for a button, is the system's push button; access keys do not clash;
// Enter applies and Escape cancels.
TEST(Forms, WorkFromTheKeyboardAndNameEveryControl) {
    test::CleanRegistry registry;
    // The second text's field enabled, so that it is walked and named too.
    test::WriteRegText(test::kOptionsKey, "cutnameflg", "1");
    CleanShortcuts shortcuts;
    test::MessageBoxWatcher boxes;
    int opened = 0;  // the About box's home page
    const std::string sendTo = CleanShortcuts::In(CSIDL_SENDTO);
    struct Case {
        const char* what;
        std::function<std::unique_ptr<dialogs::Form>()> make;
        std::vector<std::pair<UINT, WPARAM>> before;
        WPARAM finalKey;
        std::function<void()> expect;
        bool allKeyed;  // every check box and labelled field has an access key
        std::vector<int> tabOrder = {};  // the controls Tab visits, when it is given
    };
    const auto makeOptions = [] { return std::make_unique<TFrmOption>(kAt); };
    const auto makeSetup = [] { return std::make_unique<TFrmSetup>(kAt); };
    const auto makeAbout = [&] {
        return std::make_unique<TAboutBox>(kAt, [&](HWND, const ShellOpenRequest&) { ++opened; });
    };
    const std::vector<Case> cases = {
        {"options, Escape", makeOptions, {}, VK_ESCAPE,
         [] { EXPECT_FALSE(Stored("Char").present); }, true},
        {"options, Enter", makeOptions, {}, VK_RETURN,
         [] { EXPECT_EQ(Stored("Char"), test::RegSz(L"")); }, true,
         {TFrmOption::CheckBox1, TFrmOption::EdtLink, TFrmOption::CheckBox3, TFrmOption::CheckBox4,
          TFrmOption::CBox2, TFrmOption::Edit_cutname, TFrmOption::SpeedButton1, TFrmOption::SpeedButton2}},
        // Alt+A ticks a box, Alt+T puts the focus in a text field, where
        // Enter applies too.
        {"options, Enter in a field", makeOptions, {{WM_SYSCHAR, 'A'}, {WM_SYSCHAR, 'T'}}, VK_RETURN,
         [] { EXPECT_EQ(Stored("Short1"), test::RegSz(L"1")); }, true},
        // Alt+S ticks the Send To box.
        {"setup, Escape", makeSetup, {{WM_SYSCHAR, 'S'}}, VK_ESCAPE,
         [&] { EXPECT_FALSE(Exists(sendTo)); }, true,
         {TFrmSetup::CheckBox1, TFrmSetup::CheckBox2, TFrmSetup::CheckBox3, TFrmSetup::CheckBox4,
          TFrmSetup::Memo1, TFrmSetup::SpeedButton1, TFrmSetup::SpeedButton2}},
        {"setup, Enter", makeSetup, {{WM_SYSCHAR, 'S'}}, VK_RETURN,
         [&] { EXPECT_TRUE(LoadLink(sendTo).loaded); }, false},
        // OK has the focus first; two Tabs reach the link, and Enter there
        // opens it and leaves the box open.
        {"About, Enter on the link, then Escape", makeAbout,
         {{WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN}}, VK_ESCAPE,
         [&] { EXPECT_EQ(opened, 1); }, false},
        // Enter on OK closes the box and opens nothing more.
        {"About, Enter", makeAbout, {}, VK_RETURN, [&] { EXPECT_EQ(opened, 1); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = c.make();
        const DWORD thread = GetCurrentThreadId();
        Walk walk;
        std::thread walker([&] { walk = WalkForm(form->hwnd(), thread, c.before, c.finalKey); });
        form->ShowModal();
        walker.join();
        EXPECT_TRUE(walk.closed);
        c.expect();

        ASSERT_FALSE(walk.tabCycle.empty());
        std::vector<HWND> order;
        for (int id : c.tabOrder) order.push_back(form->Control(id));
        if (!order.empty()) {
            EXPECT_EQ(walk.tabCycle, order);
        }
        std::wstring keys;
        for (const SeenControl& control : walk.controls) {
            const std::string what = test::U(control.className + L" \"" + control.text + L"\"");
            // No class of the program's own stands in for a standard control.
            EXPECT_TRUE(control.className == L"Static" || control.className == L"Edit" ||
                        control.className == L"SysTabControl32" || control.className == L"TsPanel" ||
                        (control.className == L"Button" && IsStandardButton(control)))
                << what;
            if (const wchar_t key = AccessKeyOf(control.text)) {
                EXPECT_EQ(keys.find(key), std::wstring::npos) << what << ": its key is taken";
                keys += key;
            }
            if (!TakesInput(control) || !control.enabled) continue;
            const bool tabbed = std::count(walk.tabCycle.begin(), walk.tabCycle.end(), control.hwnd) != 0;
            // Its caption's or its label's key; a label's key brings the
            // focus to it, a button's (a check box's) to the button.
            const SeenControl* label = LabelOf(control, walk.controls);
            const auto key = std::find_if(walk.accessKeys.begin(), walk.accessKeys.end(),
                                          [&](const Walk::Key& k) { return label && k.owner == label->hwnd; });
            const bool keyed = key != walk.accessKeys.end();
            if (keyed) {
                EXPECT_EQ(key->went, label->className == L"Static" ? control.hwnd : label->hwnd) << what;
            }
            EXPECT_TRUE(tabbed || keyed) << what;
            const bool note = control.className == L"Edit" && (control.style & ES_READONLY);
            if (c.allKeyed && !IsPushButton(control) && !note) {
                EXPECT_TRUE(keyed) << what << " has no access key";
            }
            // The name the form hands the accessibility runtime where the
            // window order would give another; Wine's oleacc does not read
            // those back, so it is taken from the form.
            const std::wstring annotated = form->AccessibleName(control.hwnd);
            const std::wstring name = annotated.empty() ? control.name : annotated;
            EXPECT_FALSE(name.empty()) << what;
            EXPECT_EQ(test::U(name), test::U(LabelSeen(control, walk.controls))) << what;
        }
    }
}

// Explorer's naming of new shortcuts against the real registry, ticked
// and unticked in every order a user may choose: after each step the
// registry, as exported text, holds what the user should find.
TEST(TFrmSetup, NoMarkerKeepsAndPutsBackExplorersValuesInAnyOrder) {
    using test::RawRegValue;
    const std::string kept = "Software\\moravend\\Tessalyne\\Explorer";
    const auto naming = [] {
        const RawRegValue link = test::ReadRegRaw(test::kExplorerKey, "link");
        std::string text = "link:" + std::to_string(link.present) + "," + std::to_string(link.type) + ":";
        for (BYTE b : link.bytes) text += std::to_string(b) + " ";
        return text + "\n" + test::ExportedText(test::kNamingTemplatesKey);
    };
    // The text Explorer's values would give, the registry left as it is.
    const auto namingWith = [&](const RawRegValue& nameTemplate, const RawRegValue& link) {
        const RawRegValue t = test::ReadRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate");
        const RawRegValue l = test::ReadRegRaw(test::kExplorerKey, "link");
        test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", nameTemplate);
        test::WriteRegRaw(test::kExplorerKey, "link", link);
        const std::string text = naming();
        test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", t);
        test::WriteRegRaw(test::kExplorerKey, "link", l);
        return text;
    };
    const bool templatesKey = test::RegKeyExists(test::kNamingTemplatesKey);
    const auto prefix = std::make_pair(test::ReadRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate"),
                                       test::ReadRegRaw(test::kExplorerKey, "link"));
    // Opens the dialog, says whether its box was ticked, sets it and saves.
    const auto save = [](bool noMarker) {
        TFrmSetup form(kAt);
        const bool shown = form.Checked(TFrmSetup::CheckBox4);
        if (shown != noMarker) Click(form, TFrmSetup::CheckBox4);
        Click(form, TFrmSetup::SpeedButton1);
        return shown;
    };
    const RawRegValue userTemplate = test::RegSz(L"%s (リンク).lnk");
    const std::string notice = "\r\nこの変更は、エクスプローラの再起動後または"
                               "次回のサインイン後に作成するショートカットから有効になります。";
    const std::string lost = "\r\n以前の名前の付け方の記録が見つからなかったため、"
                             "エクスプローラの既定の設定に戻しました。";
    struct Start {
        const char* what;
        bool key;  // the template's key is there
        RawRegValue nameTemplate, link;
    } const starts[] = {
        {"absent, no key", false, {}, {}},
        {"absent, empty key", true, {}, {}},
        {"other data", true, userTemplate, {true, REG_BINARY, {0x1e, 0, 0, 0}}},
        {"wrong types", true, test::RegSz(L"", REG_EXPAND_SZ), test::RegSz(L"0")},
    };
    // What happens between ticking and unticking, and what comes back.
    enum class Between { Nothing, SavedAgain, CopiesDeleted, TemplateChangedAndTicked };
    struct Row {
        Between between;
        bool copiesLost;  // the untick says the earlier values were not found
    } const rows[] = {
        {Between::Nothing, false},
        {Between::SavedAgain, false},
        {Between::CopiesDeleted, true},
        {Between::TemplateChangedAndTicked, false},
    };
    for (const Start& start : starts) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(start.what) + " " + std::to_string(static_cast<int>(row.between)));
            test::CleanRegistry registry;
            CleanShortcuts shortcuts;
            if (!start.key) DeleteRegKey(test::kNamingTemplatesKey);
            test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", start.nameTemplate);
            test::WriteRegRaw(test::kExplorerKey, "link", start.link);
            if (start.key) MakeRegKey(test::kNamingTemplatesKey);
            const std::string before = naming();
            test::MessageBoxWatcher watcher;
            EXPECT_FALSE(save(true));
            EXPECT_EQ(test::ReadRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate"), test::RegSz(L"\"%s.lnk\""));
            EXPECT_EQ(test::ReadRegRaw(test::kExplorerKey, "link"), (RawRegValue{true, REG_BINARY, {0, 0, 0, 0}}));
            std::string expected = before;
            std::vector<std::string> says{"設定しました。" + notice};
            switch (row.between) {
            case Between::Nothing: break;
            case Between::SavedAgain: {
                const std::string ticked = naming();
                EXPECT_TRUE(save(true));
                EXPECT_EQ(naming(), ticked);
                says.push_back("設定しました。");
                break;
            }
            case Between::CopiesDeleted:
                DeleteRegKey("Software\\moravend\\Tessalyne");
                // The system's default; a key whose making was not kept stays.
                expected = namingWith({}, {});
                break;
            case Between::TemplateChangedAndTicked:
                test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", test::RegSz(L"%s!.lnk"));
                expected = namingWith(test::RegSz(L"%s!.lnk"), start.link);  // the newer one comes back
                EXPECT_FALSE(save(true));
                says.push_back("設定しました。" + notice);
                break;
            }
            EXPECT_TRUE(save(false));  // Explorer adds no marker: the box shows it
            says.push_back("設定しました。" + std::string(row.copiesLost ? lost : "") + notice);
            EXPECT_EQ(naming(), expected);
            EXPECT_EQ(test::ExportedText(kept), "");
            EXPECT_EQ(watcher.Texts(), says);
        }
    }
    // The prefix as the test found it, its template's key included.
    test::WriteRegRaw(test::kNamingTemplatesKey, "ShortcutNameTemplate", prefix.first);
    test::WriteRegRaw(test::kExplorerKey, "link", prefix.second);
    templatesKey ? MakeRegKey(test::kNamingTemplatesKey) : DeleteRegKey(test::kNamingTemplatesKey);
}

}  // namespace
}  // namespace tsly
