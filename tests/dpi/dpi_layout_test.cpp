// The layouts at the DPI the wrapper (run_at_dpis.sh) gave the prefix:
// default sizes scale from 96 dpi and no text is cut off.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "dialogs/options_dialog.h"
#include "dialogs/about_box.h"
#include "dialogs/setup_dialog.h"
#include "platform/dpi.h"
#include "tests/app/harness.h"
#include "tests/app/main_window_fixture.h"

namespace tsly {
namespace {

// The DPI the prefix was set to; 96 when the test runs on its own.
UINT ExpectedDpi() {
    const char* value = std::getenv("TSLY_EXPECT_DPI");
    return value ? static_cast<UINT>(std::atoi(value)) : 96;
}

int S(int size96) { return MulDiv(size96, static_cast<int>(ExpectedDpi()), 96); }

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// The extent of a text in the window's own font.
SIZE Extent(HWND hwnd, const std::wstring& text) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size;
}

RECT RectIn(HWND hwnd, HWND parent) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every control of a dialog shows its whole text: the room its kind needs
// beside the text fits its rectangle, and the rectangle lies inside its
// parent (inside a panel's bevel).
BOOL CALLBACK CheckControl(HWND control, LPARAM) {
    const std::wstring kind = ClassOf(control);
    const std::wstring text = TextOf(control);
    const std::string name = test::U(kind) + " \"" + test::U(text) + "\"";
    RECT client{};
    GetClientRect(control, &client);
    const SIZE extent = Extent(control, text);
    const LONG style = GetWindowLongW(control, GWL_STYLE);

    HWND parent = GetParent(control);
    RECT room{};
    GetClientRect(parent, &room);
    if (ClassOf(parent) == L"TsPanel") InflateRect(&room, -S(2), -S(2));
    const RECT r = RectIn(control, parent);
    EXPECT_TRUE(r.left >= room.left && r.top >= room.top && r.right <= room.right &&
                r.bottom <= room.bottom)
        << name << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom
        << " in " << room.right << "x" << room.bottom;

    if (text.empty()) return TRUE;
    if (kind == L"Static") {
        EXPECT_LE(extent.cx, client.right) << name;
        EXPECT_LE(extent.cy, client.bottom) << name;
    } else if (kind == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        SIZE ideal{};  // the box, the gap and the text
        EXPECT_TRUE(SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
        EXPECT_LE(ideal.cx, client.right) << name;
        EXPECT_LE(extent.cy, client.bottom) << name;
    } else if (kind == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
        EXPECT_LE(extent.cx + S(16), client.right) << name;  // its caption on the line
    } else if (kind == L"Button") {
        // A push button: its caption, with room for a picture and a gap
        // where one fits its height (a link has none).
        const int picture = client.bottom >= S(16) ? S(16) + 4 : 0;
        EXPECT_LE(picture + extent.cx, client.right) << name;
        EXPECT_LE(extent.cy, client.bottom) << name;
    } else if (kind == L"Edit" && (style & ES_MULTILINE)) {
        // Each line on one line of the field, none wrapped.
        std::size_t lines = 1;
        for (wchar_t c : text) lines += c == L'\n';
        EXPECT_EQ(SendMessageW(control, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(lines))
            << name;
    }
    if (kind == L"SysTabControl32") {
        RECT tab{};
        SendMessageW(control, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
        EXPECT_LE(Extent(control, test::TabText(control, 0)).cx, tab.right - tab.left) << name;
    }
    return TRUE;
}

void ExpectDialog(const dialogs::Form& form, int width96, int height96) {
    EXPECT_EQ(form.Dpi(), ExpectedDpi());
    RECT client{};
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, S(width96));
    EXPECT_EQ(client.bottom, S(height96));
    EnumChildWindows(form.hwnd(), &CheckControl, 0);
}

TEST(AtTheSystemDpi, TheProcessIsPerMonitorAware) {
    EXPECT_EQ(win::SystemDpi(), ExpectedDpi());
    // Declared by the manifest built into the program and this test alike.
    using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using GetAwareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto context = reinterpret_cast<GetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awareness = reinterpret_cast<GetAwareness>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(context && awareness);
    EXPECT_EQ(awareness(context()), DPI_AWARENESS_PER_MONITOR_AWARE);
}

class MainWindowAtDpi : public test::MainWindowFixture {
protected:
    test::CleanRegistry registry_;
};

TEST_F(MainWindowAtDpi, DefaultsScaleAndTextsFit) {
    auto main = Start();
    EXPECT_EQ(main->Dpi(), ExpectedDpi());
    RECT r{};
    GetWindowRect(main->hwnd(), &r);
    EXPECT_EQ(r.right - r.left, S(528));
    EXPECT_EQ(r.bottom - r.top, S(327));
    RECT status{};
    GetWindowRect(main->StatusBar1(), &status);
    EXPECT_EQ(status.bottom - status.top, S(19));
    RECT panel{};
    SendMessageW(main->StatusBar1(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    EXPECT_EQ(panel.right - panel.left, S(300));
    HWND list = main->ListView_main().hwnd();
    // Both columns in view, with no horizontal scroll bar: "結果" at least
    // 100 pixels at 96 dpi, the file column giving way.
    RECT inside{};
    GetClientRect(list, &inside);
    EXPECT_GE(ListView_GetColumnWidth(list, 1), S(100));
    EXPECT_LE(ListView_GetColumnWidth(list, 0) + ListView_GetColumnWidth(list, 1), inside.right);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(RectIn(list, main->hwnd()).top, S(26));

    // Header texts and tool button captions within their places.
    HWND header = ListView_GetHeader(list);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        wchar_t text[128] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        Header_GetItem(header, i, &item);
        RECT column{};
        Header_GetItemRect(header, i, &column);
        EXPECT_LE(Extent(header, text).cx, column.right - column.left) << i;
        EXPECT_LE(Extent(header, text).cy, column.bottom - column.top) << i;
    }
    HWND tools = FindWindowExW(GetDlgItem(main->hwnd(), 4), nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_TRUE(tools);
    int image = 0, imageHeight = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(tools, TB_GETIMAGELIST, 0, 0)),
                          &image, &imageHeight);
    EXPECT_EQ(image, S(16) >= 32 ? 32 : S(16) >= 24 ? 24 : 16);
    for (int i = 0; i < SendMessageW(tools, TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON button{};
        SendMessageW(tools, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & BTNS_SEP) continue;
        wchar_t text[128] = {};
        SendMessageW(tools, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
        RECT place{};
        SendMessageW(tools, TB_GETRECT, button.idCommand, reinterpret_cast<LPARAM>(&place));
        EXPECT_LE(image + Extent(tools, text).cx, place.right - place.left) << test::U(text);
        EXPECT_LE(RectIn(tools, main->hwnd()).top + place.bottom, S(26)) << test::U(text);
    }
    // The dialogs open 25 and 20 pixels (at 96 dpi) off the corner.
    const POINT at = main->DialogPosition();
    EXPECT_EQ(at.x - r.left, S(25));
    EXPECT_EQ(at.y - r.top, S(20));
}

// A geometry stored at 96 dpi (or by a version that kept no DPI) opens in
// the same size for the eye, the tool bar whole; the close stores the DPI
// with it, and the next start at that DPI takes it unchanged.
TEST_F(MainWindowAtDpi, AGeometryStoredAt96DpiIsScaled) {
    const std::pair<const char*, const char*> stored[] = {
        {"MainWidth", "600"}, {"MainHeight", "400"}, {"Column(2)", "200"}, {"Column(3)", "250"}};
    for (const auto& [name, value] : stored) test::WriteRegText(test::kWindowKey, name, value);
    for (int start = 0; start < 2; ++start) {
        auto main = Start();
        RECT r{};
        GetWindowRect(main->hwnd(), &r);
        EXPECT_EQ(r.right - r.left, S(600)) << start;
        EXPECT_EQ(r.bottom - r.top, S(400)) << start;
        EXPECT_EQ(main->ListView_main().ColumnWidth(), S(250)) << start;
        RECT panel{};
        SendMessageW(main->StatusBar1(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
        EXPECT_EQ(panel.right - panel.left, S(200)) << start;
        EXPECT_TRUE(test::LastToolButtonShows(main->hwnd())) << start;
        SendMessageW(main->hwnd(), WM_CLOSE, 0, 0);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainDpi"), std::to_string(ExpectedDpi()));
        EXPECT_EQ(test::ReadRegText(test::kWindowKey, "MainWidth"), std::to_string(S(600)));
    }
}

TEST(DialogsAtDpi, ClientSizesScaleAndTextsFit) {
    test::CleanRegistry registry;
    {
        SCOPED_TRACE("options");
        TFrmOption form(POINT{20, 20});
        ExpectDialog(form, 373, 243);
        // The form's box above the page's field never covers it.
        RECT box{}, field{};
        GetWindowRect(form.Control(TFrmOption::CBox2), &box);
        GetWindowRect(form.Control(TFrmOption::Edit_cutname), &field);
        EXPECT_LE(box.bottom, field.top);
    }
    {
        SCOPED_TRACE("setup");
        TFrmSetup form(POINT{20, 20});
        ExpectDialog(form, 303, 158);
    }
    {
        SCOPED_TRACE("about");
        TAboutBox form(POINT{20, 20}, [](HWND, const ShellOpenRequest&) {});
        ExpectDialog(form, 325, 151);
    }
}

}  // namespace
}  // namespace tsly
