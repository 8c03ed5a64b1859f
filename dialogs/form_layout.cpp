// The form's making and layout: each kind's window class, the controls
// made from the table, and every place and size scaled to the form's DPI.
#include "dialogs/form.h"

#include <commctrl.h>

#include <stdexcept>

#include "dialogs/panel.h"
#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/text.h"
#include "platform/ui_font.h"
#include "resources/resource.h"

namespace tsly::dialogs {
namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

struct KindClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// Window class and styles of each kind of control.
KindClass ClassOf(Kind kind) {
    switch (kind) {
    case Kind::Label: return {L"STATIC", SS_LEFT | SS_NOTIFY, 0};
    case Kind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX, 0};
    case Kind::Edit: return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    // Read-only: a text to read and copy, which a key must not erase.
    case Kind::Memo:
        return {L"EDIT", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP, 0};
    // Transparent: the form, which clips its children, paints beneath it.
    case Kind::GroupBox: return {L"BUTTON", BS_GROUPBOX, WS_EX_TRANSPARENT};
    case Kind::Panel: return {kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case Kind::Tabs: return {WC_TABCONTROLW, WS_CLIPSIBLINGS, 0};
    case Kind::Bevel: return {L"STATIC", SS_ETCHEDVERT, 0};
    case Kind::Image: return {L"STATIC", SS_ICON, 0};
    // The default button is the one Enter presses where the focus is on
    // no other (IsDialogMessage asks the form, DM_GETDEFID).
    case Kind::PushButton: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::List:
        return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

// Gives a window a region without the given rectangles (its own client
// coordinates), so that what lies there shows through.
void CutOut(HWND hwnd, const std::vector<RECT>& holes) {
    if (holes.empty()) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    HRGN region = CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top);
    for (const RECT& hole : holes) {
        HRGN cut = CreateRectRgn(hole.left, hole.top, hole.right, hole.bottom);
        CombineRgn(region, region, cut, RGN_DIFF);
        DeleteObject(cut);
    }
    // The window owns the region from here on; a failed call leaves it ours.
    if (!SetWindowRgn(hwnd, region, TRUE)) DeleteObject(region);
}

RECT BoundsIn(HWND window, HWND parent) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

void Form::CreateForm(const FormDef& def, POINT position,
                      const std::vector<ControlDef>& controls) {
    // No class icon: the class outlives every form, the icons live with one.
    RegisterClass(def.className, nullptr, GetSysColorBrush(COLOR_BTNFACE));
    RegisterPanelClass();
    def_ = def;

    // Made at no size first: its DPI is that of the monitor at `position`.
    CreateWindowFor(0, def.className, def.caption, kFormStyle, position.x, position.y, 0, 0,
                    win::Application::Instance().Handle(), nullptr);
    if (!hwnd()) throw std::runtime_error("The dialog could not be created");
    dpi_ = win::DpiOf(hwnd());
    ApplyDpi();

    controlDefs_ = controls;
    for (const ControlDef& c : controlDefs_) CreateControl(c);
    for (const ControlDef& c : controlDefs_) {
        if (c.kind == Kind::Tabs) PlacePages(Control(c.id));
    }
    if (HWND button = Control(def.defaultButton)) {
        SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
    }
    NameControls(true);
}

void Form::ApplyDpi() {
    font_ = win::MakeUiFont(dpi_);
    linkFont_ = win::MakeUiFont(dpi_, win::FontLook::Link);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const int big = win::Scale(32, dpi_), small = win::Scale(16, dpi_);
    icon_.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, big, big, 0)));
    smallIcon_.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, small, small, 0)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    RECT outer{0, 0, win::Scale(def_.clientWidth, dpi_), win::Scale(def_.clientHeight, dpi_)};
    win::AdjustWindowRectForDpi(outer, kFormStyle, false, 0, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT Form::FontOf(const ControlDef& def) const {
    return def.look == Look::Link ? linkFont_.get() : font_.get();
}

RECT Form::BoundsOf(const ControlDef& def, HWND& parent) const {
    parent = def.parent ? Control(def.parent) : hwnd();
    const ControlDef* parentDef = def.parent ? DefOf(parent) : nullptr;
    if (parentDef && parentDef->kind == Kind::Tabs) {
        // A page: a panel of the form over the page control's display area.
        RECT bounds = BoundsIn(parent, hwnd());
        SendMessageW(parent, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&bounds));
        parent = hwnd();
        return bounds;
    }
    // Edges rather than sizes are scaled, so that what touches stays touching.
    return RECT{win::Scale(def.left, dpi_), win::Scale(def.top, dpi_),
                win::Scale(def.left + def.width, dpi_), win::Scale(def.top + def.height, dpi_)};
}

void Form::FitLabel(HWND label, HFONT font) const {
    // Labels take the size of their text.
    const SIZE extent = win::TextExtent(font, TextOf(label));
    // A right-aligned label keeps its right edge and grows to the left.
    RECT r = BoundsIn(label, GetParent(label));
    if (GetWindowLongW(label, GWL_STYLE) & SS_RIGHT) r.left = r.right - extent.cx;
    SetWindowPos(label, nullptr, r.left, r.top, extent.cx, extent.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CreateControl(const ControlDef& def) {
    HWND parent = nullptr;
    const HWND defParent = def.parent ? Control(def.parent) : hwnd();
    const ControlDef* parentDef = def.parent ? DefOf(defParent) : nullptr;
    const std::wstring text = win::ToWide(def.text);
    if (parentDef && parentDef->kind == Kind::Tabs) {
        // The page control itself stays a tab stop and the page's controls
        // follow it.
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        const int index = static_cast<int>(SendMessageW(defParent, TCM_GETITEMCOUNT, 0, 0));
        SendMessageW(defParent, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    const RECT bounds = BoundsOf(def, parent);
    const KindClass kc = ClassOf(def.kind);
    HWND control = CreateWindowExW(kc.exStyle, kc.className,
                                   def.kind == Kind::Panel ? L"" : text.c_str(),
                                   WS_CHILD | WS_VISIBLE | kc.style | def.style, bounds.left,
                                   bounds.top, bounds.right - bounds.left,
                                   bounds.bottom - bounds.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("A control of the dialog could not be created");
    if (def.kind == Kind::Memo) SetWindowSubclass(control, MemoKeys, 0, 0);
    controls_[def.id] = control;
    Dress(control, def);
}

void Form::Dress(HWND control, const ControlDef& def) const {
    HFONT font = FontOf(def);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (def.kind == Kind::Image) {
        SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    } else if (def.kind == Kind::Label || def.look == Look::Link) {
        FitLabel(control, font);  // a link is as wide as its text, where it can be clicked
    }
}

void Form::LayOut() {
    for (const ControlDef& def : controlDefs_) {
        HWND control = Control(def.id);
        HWND parent = nullptr;
        const RECT bounds = BoundsOf(def, parent);
        SetWindowRgn(control, nullptr, FALSE);  // PlacePages cuts them again
        SetWindowPos(control, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
        Dress(control, def);
    }
    for (const ControlDef& c : controlDefs_) {
        if (c.kind == Kind::Tabs) PlacePages(Control(c.id));
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::PlacePages(HWND tabs) {
    // Each page shows above the page control, and the form's controls made
    // after a page show above it: the windows underneath leave those areas
    // to them.
    std::vector<RECT> pageAreas;
    for (std::size_t i = 0; i < controlDefs_.size(); ++i) {
        const ControlDef& page = controlDefs_[i];
        if (page.parent == 0 || Control(page.parent) != tabs) continue;
        HWND pageWindow = Control(page.id);
        const RECT pageBounds = BoundsIn(pageWindow, hwnd());
        RECT inTabs = BoundsIn(pageWindow, tabs);
        pageAreas.push_back(inTabs);
        std::vector<RECT> covered;
        for (std::size_t j = i + 1; j < controlDefs_.size(); ++j) {
            if (controlDefs_[j].parent != 0) continue;
            RECT sibling = BoundsIn(Control(controlDefs_[j].id), hwnd());
            RECT overlap{};
            if (!IntersectRect(&overlap, &sibling, &pageBounds)) continue;
            OffsetRect(&overlap, -pageBounds.left, -pageBounds.top);
            covered.push_back(overlap);
        }
        CutOut(pageWindow, covered);
    }
    CutOut(tabs, pageAreas);
}

}  // namespace tsly::dialogs
