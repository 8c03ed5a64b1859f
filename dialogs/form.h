// The base of the program's modal dialogs: a fixed-size window with only a
// close box, the program's font and icon, laid out from a table of controls
// at pixel positions, shown modally and closed by its own commands. A dialog
// is its table (ControlDef, FormDef) and its OnCommand; the base's members
// live in form.cpp (keys, messages), form_layout.cpp (making and DPI),
// form_drawing.cpp (colours, flat buttons) and form_accessibility.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "platform/window.h"

namespace tsly::dialogs {

enum class Kind : std::uint8_t {
    Label,       // sizes itself to its text
    CheckBox,
    Edit,        // one-line text field
    Memo,        // multi-line text without border
    GroupBox,
    Panel,       // container; bevels in `style`
    Tabs,        // page control: its pages are panels laid over its display area
    PushButton,  // the system's push button, drawn flat (Form::DrawButton)
    Bevel,       // a vertical line at its left edge
    Image,       // the program's icon
    List,        // report-view list; its columns and rows are the form's to fill
};

// How a control's text looks.
enum class Look : std::uint8_t {
    Plain,     // window text colour
    DarkBlue,  // 0xA00000
    Link,      // blue, bold, underlined, pointing hand; a push button drawn as a link
};

struct ControlDef {
    int id;         // never IDOK or IDCANCEL, which Enter and Escape send
    Kind kind;
    int parent;     // id of the parent control; 0 for the form itself
    int left, top, width, height;
    const char* text;  // "&" marks the access key; a label's moves to the next control
    DWORD style;    // added styles: WS_TABSTOP, WS_DISABLED, panel bevels
    Look look;
    int glyphs;     // push buttons: bitmap resource id, 0 for none
    // The control whose text names this one for a screen reader, where the
    // window order would give it another (or none); 0 for its own text or
    // the label before it.
    int labelledBy = 0;
};

struct FormDef {
    const char* className;
    const char* caption;
    int clientWidth;
    int clientHeight;
    int defaultButton;  // pressed by Enter where the focus is on no button
    int cancelButton;   // pressed by Escape
};

// Names a control for a screen reader through the accessibility runtime's
// annotation, where its own text or label would not name it.
void SetAccessibleName(HWND control, const wchar_t* name);

class Form : public win::Window {
public:
    ~Form() override;

    HWND Control(int id) const;
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    // Changing the state notifies the form as a click would.
    void SetChecked(int id, bool checked);
    bool Enabled(int id) const;

    // Shows the form modally until it is closed.
    void ShowModal();
    // Ends the modal showing; the form is destroyed by its owner.
    void Close() { closed_ = true; }
    bool Closed() const { return closed_; }

    UINT Dpi() const { return dpi_; }
    // The name the form gives a control for a screen reader, where its
    // label is not the one the window order gives (ControlDef::labelledBy);
    // empty for the others, whose own caption or label names them.
    std::wstring AccessibleName(HWND control) const;
    // The role the form gives a control where its class says another (a
    // button drawn as a link is a link); 0 for the others.
    LONG AccessibleRole(HWND control) const;

protected:
    // Creates the window with its outer top-left corner at `position`
    // (screen coordinates) and its controls; the window stays hidden until
    // ShowModal. Sizes and places in the tables are pixels at 96 dpi.
    void CreateForm(const FormDef& def, POINT position,
                    const std::vector<ControlDef>& controls);
    virtual void OnCommand(int id) = 0;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The layout (form_layout.cpp).
    void CreateControl(const ControlDef& def);
    // Where a control goes at the form's DPI, and in which window.
    RECT BoundsOf(const ControlDef& def, HWND& parent) const;
    HFONT FontOf(const ControlDef& def) const;
    void FitLabel(HWND label, HFONT font) const;
    // The control's font, and for labels and images their size or icon.
    void Dress(HWND control, const ControlDef& def) const;
    void PlacePages(HWND tabs);
    // Fonts, icons, size and every control's place for the form's DPI.
    void ApplyDpi();
    void LayOut();

    // The drawing (form_drawing.cpp).
    LRESULT ColourStatic(HDC dc, HWND control);
    // Paints a push button flat: a picture left of its caption, an edge
    // only under the mouse, the focus rectangle while it has the focus.
    LRESULT DrawButton(const NMCUSTOMDRAW& draw) const;
    // A flat button's pictures at the size of the form's DPI, loaded when
    // first drawn at it.
    HIMAGELIST GlyphsOf(const ControlDef& def) const;

    // The screen reader (form_accessibility.cpp): names the controls that
    // another control labels (ControlDef::labelledBy) for the accessibility
    // runtime, or takes the names back.
    void NameControls(bool name) const;

    // The keys and messages (form.cpp).
    const ControlDef* DefOf(HWND control) const;
    // The button Enter presses: the focused one, else the default.
    int DefaultId() const;
    static LRESULT CALLBACK MemoKeys(HWND memo, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR);

    std::vector<ControlDef> controlDefs_;
    std::map<int, HWND> controls_;
    struct Glyphs {
        win::UniqueImageList images;
        int size = 0;
    };
    mutable std::map<int, Glyphs> glyphs_;
    win::UniqueFont font_;
    win::UniqueFont linkFont_;
    win::UniqueIcon icon_;
    win::UniqueIcon smallIcon_;
    FormDef def_{};
    UINT dpi_ = 96;
    HWND focus_ = nullptr;  // the control that had the focus when the form was left
    bool closed_ = false;
};

// A caption as a screen reader reads it: without the access key's "&".
std::wstring WithoutAccessKey(std::wstring text);
// A window's text as the system holds it.
std::wstring TextOf(HWND hwnd);

}  // namespace tsly::dialogs
