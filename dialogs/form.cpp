#include "dialogs/form.h"

#include <commctrl.h>
#include <initguid.h>  // the accessibility GUIDs, defined here once
#include <oleacc.h>

#include <algorithm>
#include <iterator>
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
constexpr COLORREF kDarkBlue = 0xA00000;      // red 0, green 0, blue 160
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kGlyphTransparent = RGB(192, 192, 192);

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

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

// The accessibility runtime's annotation service; none without the runtime
// (then nothing would read the annotations either). Needs COM meanwhile.
win::ComPtr<IAccPropServices> AnnotationService() {
    IAccPropServices* raw = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&raw)))) {
        return nullptr;
    }
    return win::ComPtr<IAccPropServices>(raw);
}

}  // namespace

std::wstring WithoutAccessKey(std::wstring text) {
    const std::size_t amp = text.find(L'&');
    if (amp != std::wstring::npos) text.erase(amp, 1);
    return text;
}

Form::~Form() = default;

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

std::wstring Form::AccessibleName(HWND control) const {
    const ControlDef* def = DefOf(control);
    const ControlDef* label = def && def->labelledBy ? DefOf(Control(def->labelledBy)) : nullptr;
    return label ? WithoutAccessKey(win::ToWide(label->text)) : std::wstring();
}

void SetAccessibleName(HWND control, const wchar_t* name) {
    const win::ComScope com;
    if (const auto services = AnnotationService()) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, name);
    }
}

LONG Form::AccessibleRole(HWND control) const {
    // A button drawn as a link opens a page: a screen reader says "link".
    const ControlDef* def = DefOf(control);
    return def && def->look == Look::Link ? ROLE_SYSTEM_LINK : 0;
}

void Form::NameControls(bool name) const {
    const win::ComScope com;
    const auto services = AnnotationService();
    if (!services) return;
    const auto object = static_cast<DWORD>(OBJID_CLIENT);
    for (const ControlDef& def : controlDefs_) {
        HWND control = Control(def.id);
        const std::wstring text = AccessibleName(control);
        if (!text.empty() && name) {
            services->SetHwndPropStr(control, object, CHILDID_SELF, PROPID_ACC_NAME, text.c_str());
        } else if (!text.empty()) {
            services->ClearHwndProps(control, object, CHILDID_SELF, &PROPID_ACC_NAME, 1);
        }
        if (const LONG role = AccessibleRole(control); role && name) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_I4;
            value.lVal = role;
            services->SetHwndProp(control, object, CHILDID_SELF, PROPID_ACC_ROLE, value);
            services->SetHwndPropStr(control, object, CHILDID_SELF, PROPID_ACC_DEFAULTACTION,
                                     L"ジャンプ");
        } else if (role) {
            const MSAAPROPID props[] = {PROPID_ACC_ROLE, PROPID_ACC_DEFAULTACTION};
            services->ClearHwndProps(control, object, CHILDID_SELF, props, 2);
        }
    }
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
    const std::wstring text = TextOf(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
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

LRESULT CALLBACK Form::MemoKeys(HWND memo, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        // A multi-line edit asks for every key, so Tab and Shift+Tab would
        // never leave it, and Enter and Escape would not reach the form's
        // buttons. Read-only, it needs none of them.
        return DefSubclassProc(memo, message, wParam, lParam) & ~DLGC_WANTALLKEYS;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(memo, MemoKeys, 0);
    return DefSubclassProc(memo, message, wParam, lParam);
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

HWND Form::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

const ControlDef* Form::DefOf(HWND control) const {
    for (const ControlDef& def : controlDefs_) {
        if (Control(def.id) == control) return &def;
    }
    return nullptr;
}

std::string Form::Text(int id) const { return win::FromWide(TextOf(Control(id))); }

void Form::SetText(int id, const std::string& text) {
    SetWindowTextW(Control(id), win::ToWide(text).c_str());
}

bool Form::Checked(int id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::SetChecked(int id, bool checked) {
    if (Checked(id) == checked) return;
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    OnCommand(id);
}

bool Form::Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

void Form::ShowModal() {
    closed_ = false;
    win::Application::Instance().RunModal(hwnd(), [this] { return closed_; });
}

LRESULT Form::ColourStatic(HDC dc, HWND control) {
    const ControlDef* def = DefOf(control);
    const Look look = def ? def->look : Look::Plain;
    COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
    if (look == Look::DarkBlue) colour = kDarkBlue;
    if (look == Look::Link) colour = kLinkBlue;
    SetTextColor(dc, colour);
    if (def && def->kind == Kind::Memo) {
        SetBkColor(dc, GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

HIMAGELIST Form::GlyphsOf(const ControlDef& def) const {
    if (def.glyphs == 0) return nullptr;
    // Drawn at 16, 24 and 32 pixels, under the id and the id plus these.
    struct Art {
        int size;
        int idOffset;
    };
    constexpr Art kArt[] = {{32, IDB_GLYPH_32}, {24, IDB_GLYPH_24}, {16, 0}};
    const int size = win::PictureSize(dpi_);
    Glyphs& glyphs = glyphs_[def.id];
    if (!glyphs.images || glyphs.size != size) {
        const Art* art = std::find_if(std::begin(kArt), std::end(kArt),
                                      [size](const Art& a) { return a.size == size; });
        glyphs.images.reset(ImageList_LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(def.glyphs + art->idOffset), size, 0,
            kGlyphTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION));
        glyphs.size = size;
    }
    return glyphs.images.get();
}

LRESULT Form::DrawButton(const NMCUSTOMDRAW& draw) const {
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    const ControlDef* def = DefOf(draw.hdr.hwndFrom);
    if (!def) return CDRF_DODEFAULT;
    HDC dc = draw.hdc;
    RECT r = draw.rc;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = !(draw.uItemState & CDIS_DISABLED);
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool link = def->look == Look::Link;
    if (!link && enabled && (pressed || (draw.uItemState & CDIS_HOT))) {
        RECT edge = r;
        DrawEdge(dc, &edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }

    // Picture and caption centred together; a link's text from the left.
    const std::wstring text = TextOf(draw.hdr.hwndFrom);
    HGDIOBJ oldFont = SelectObject(dc, FontOf(*def));
    RECT extent{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    HIMAGELIST glyphs = GlyphsOf(*def);
    const int size = win::PictureSize(dpi_);
    const int glyphWidth = glyphs ? size + (text.empty() ? 0 : win::PictureGap(dpi_)) : 0;
    const int shift = pressed && !link ? 1 : 0;
    const int contentWidth = glyphWidth + extent.right;
    int x = link ? r.left : r.left + (r.right - r.left - contentWidth) / 2 + shift;
    const int height = r.bottom - r.top;
    if (glyphs) {
        const int greyed = ImageList_GetImageCount(glyphs) > 1 ? 1 : 0;
        ImageList_Draw(glyphs, enabled ? 0 : greyed, dc, x,
                       r.top + (height - size) / 2 + shift, ILD_TRANSPARENT);
        x += glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT)
                     : link   ? kLinkBlue
                              : GetSysColor(COLOR_BTNTEXT));
    RECT textRect{x, r.top + (height - extent.bottom) / 2 + shift, x + extent.right, 0};
    textRect.bottom = textRect.top + extent.bottom;
    const UINT ui = static_cast<UINT>(SendMessageW(draw.hdr.hwndFrom, WM_QUERYUISTATE, 0, 0));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_NOCLIP | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0));
    SelectObject(dc, oldFont);
    if ((draw.uItemState & CDIS_FOCUS) && !(ui & UISF_HIDEFOCUS)) {
        RECT focus = link ? textRect : r;
        if (!link) InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    return CDRF_SKIPDEFAULT;
}

int Form::DefaultId() const {
    const ControlDef* focused = DefOf(GetFocus());
    return focused && focused->kind == Kind::PushButton ? focused->id : def_.defaultButton;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Clicks of controls, Enter's click of the default button (which
        // the form names, DM_GETDEFID) and Escape's IDCANCEL.
        if (HIWORD(wParam) == BN_CLICKED && DefOf(Control(LOWORD(wParam)))) {
            OnCommand(LOWORD(wParam));
        } else if (lParam == 0 && LOWORD(wParam) == IDOK && DefaultId() != 0) {
            OnCommand(DefaultId());
        } else if (lParam == 0 && LOWORD(wParam) == IDCANCEL && def_.cancelButton != 0) {
            OnCommand(def_.cancelButton);
        }
        return 0;
    case DM_GETDEFID:
        return DefaultId() != 0 ? MAKELRESULT(DefaultId(), DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
        // As a dialog box moves the focus: to the given control, or to the
        // next or previous tab stop (a label's access key asks for the one
        // after the label).
        HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                             : GetNextDlgTabItem(hwnd(), GetFocus(), wParam != 0);
        if (target) SetFocus(target);
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        const ControlDef* def = DefOf(header->hwndFrom);
        if (header->code == NM_CUSTOMDRAW && def && def->kind == Kind::PushButton) {
            return DrawButton(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
        return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT: {
        const ControlDef* def = DefOf(reinterpret_cast<HWND>(lParam));
        if (def && def->kind == Kind::Memo) {
            return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        }
        break;
    }
    case WM_SETCURSOR: {
        const ControlDef* def = DefOf(reinterpret_cast<HWND>(wParam));
        if (def && (def->look == Look::Link || def->kind == Kind::PushButton)) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        NameControls(false);  // the annotations are not left to a later window of this handle
        break;
    case WM_CLOSE:
        Close();  // the close box and the system menu's close command
        return 0;
    case WM_ACTIVATE:
        // As a dialog box does: the focus goes back to the control that had
        // it, or at first to the first control in tab order, not to the
        // form itself, where keys would do nothing.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd(), focus)) focus_ = focus;
            return 0;
        } else {
            HWND target = focus_ && IsWindow(focus_) ? focus_
                                                     : GetNextDlgTabItem(hwnd(), nullptr, FALSE);
            if (target && target != hwnd()) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    case win::kWmDpiChanged: {
        // Moved to a monitor of another DPI.
        dpi_ = HIWORD(wParam);
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd(), nullptr, r.left, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyDpi();
        LayOut();
        return 0;
    }
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

}  // namespace tsly::dialogs
