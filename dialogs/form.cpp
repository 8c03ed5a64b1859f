// The form's state and its messages: the controls by id, the modal
// showing, and the keys and notifications a dialog box would handle.
#include "dialogs/form.h"

#include "platform/application.h"
#include "platform/dpi.h"
#include "platform/text.h"

namespace tsly::dialogs {

std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

Form::~Form() = default;

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
