// The shortcut list control: a virtual report list view that draws every row
// from the list model and turns clicks on a check box into model changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "core/cut_preview.h"
#include "core/shortcut_list.h"

namespace tsly {

class ShortcutListView {
public:
    ShortcutListView();

    // What a screen reader calls the list.
    static constexpr const wchar_t* kAccessibleName = L"ショートカットの一覧";
    void Create(HWND parent, int controlId, HFONT font);
    HWND hwnd() const { return hwnd_; }
    ShortcutListModel& model() { return model_; }
    const ShortcutListModel& model() const { return model_; }

    // Tells the control how many rows the model holds now.
    void SyncCount();
    void Clear();

    // Column 0 shows the paths, column 1 what the last cut or undo did.
    int ColumnWidth(int column = 0) const;
    // The tip a row reached by the keyboard shows what its columns cut off
    // in; hidden at a click, a scroll or the focus leaving.
    HWND KeyTip() const { return keyTip_; }
    static constexpr int kKeyTipWidth = 800;  // the widest line, at 96 dpi
    void HideKeyTip();
    void SetColumnWidth(int width, int column = 0);

    // While work runs no preview is shown (the rows change under it), and
    // no icon is looked up.
    void SetLocked(bool locked) { locked_ = locked; }
    // A row is first drawn with the plain shortcut icon, and `wanted` is
    // told; the owner then calls LookUpIcons at idle turns while it returns
    // true. Each call looks up the icons of rows in view for about
    // `budgetMs` and redraws them.
    void SetOnIconsWanted(std::function<void()> wanted) { iconsWanted_ = std::move(wanted); }
    bool LookUpIcons(DWORD budgetMs);
    // The rows shown, the one cut off at the bottom too.
    struct RowRange {
        std::size_t first, end;
    };
    RowRange RowsInView() const;
    // Redraws every row shown (the outcomes changed).
    void RedrawAll();
    // While work runs: WatchRows notes what the rows in view show now;
    // RedrawChangedRows marks for the next paint the rows in view whose path
    // or outcome changed since the last look, and leaves the rest as drawn.
    void WatchRows();
    void RedrawChangedRows();

    // Row check state, as the user sees it; flips redraw the rows at once
    // (a tick can change what later rows would be called) and tell an
    // accessibility client which rows changed.
    void SetChecked(int row, bool checked);
    // Ticks or unticks every selected row, or every row.
    void SetCheckedSelected(bool checked);
    void SetCheckedAll(bool checked);
    // Flips the focused row and sets every selected row as it (Space).
    void TickFocused();

    // The row with the focus, or -1.
    int FocusedRow() const;
    // The first row takes the focus, alone selected (after new rows came).
    void FocusFirstRow();
    void SelectAll();
    // Starts editing the focused row's path in place.
    void EditFocused();
    // Asked before the user ticks a row or edits one; false refuses.
    void SetCommandGate(std::function<bool(CommandId)> gate) { gate_ = std::move(gate); }

    // The preview: what a cut with `options` would do, shown for checked
    // rows without an outcome; nothing with no options (they could not be
    // read). Rows changed: the preview is worked out again as they are drawn.
    void SetPreviewOptions(const std::optional<CutOptions>& options);
    std::optional<CutOptions> PreviewOptions() const {
        return previewOn_ ? std::optional<CutOptions>(preview_.options()) : std::nullopt;
    }
    void InvalidatePreview();
    bool ShowsPreview(std::size_t row) const;
    // The row's "結果" tells of a failure, foreseen or done.
    bool ShowsFailure(std::size_t row);
    RowCut PreviewOf(std::size_t row) { return preview_.Of(row); }
    std::size_t PreviewPlans() const { return preview_.Plans(); }
    // Told after a change of ticks or captions by the user; the preview is
    // planned again (a tick changes what later rows would be called).
    void SetOnRowsChanged(std::function<void()> handler) { onRowsChanged_ = std::move(handler); }

    // Handles the control's notifications except custom drawing; sets
    // `handled` when it answered one.
    LRESULT OnNotify(NMHDR* header, bool& handled);

    // What the rows in view need of each column, padding included: the
    // path shortened to its shortest, after the check box and icon; "結果".
    struct Needs {
        int path, result;
    };
    Needs NeedsInView();
    // Told once at the next turn of the message loop after what the rows
    // show changed (rows came or went, ticks, edits, the preview, work's
    // outcomes); the keyboard tip goes at once.
    void SetOnTextsChanged(std::function<void()> handler) { onTextsChanged_ = std::move(handler); }

private:
    // Takes the list's keys before the control (shortcut_list_keys.cpp).
    void AttachKeys();
    static LRESULT CALLBACK KeyFilter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
    void FillDisplayInfo(LVITEMW& item);
    int IconOf(std::size_t row);
    int PlainIcon();
    void Toggle(int row);
    // Tells an accessibility client that rows' check states changed.
    void NotifyTicked(int first, int last);
    int FindFrom(const NMLVFINDITEMW& find) const;
    // The texts a row's columns cut off, whole, a line each.
    std::wstring CutTexts(int row) const;
    void TipFor(NMLVGETINFOTIPW& tip);
    void ShowKeyTip(int row);
    void RowsChanged();
    void TextsChanged();
    // The text of a row's "結果": the preview, or what the last work did.
    std::string ResultTextOf(std::size_t row);
    // A path too long for its cell, shortened in its middle as the shell
    // does (shortcut_list_paths.cpp): only for drawing, so that a screen
    // reader and the tips still get the whole path.
    std::wstring PathToDraw(const std::wstring& path, int room) const;
    // The width a path may take in its cell, taken once as a paint begins:
    // asked while the control paints, the control would ask for the row's
    // text to find its label, and so on down.
    int PathRoom() const;
    int StringWidth(const std::wstring& text) const;
    // What a row shows apart from its check box and icon.
    struct RowLook {
        std::string caption;
        RowOutcome outcome;
        bool operator==(const RowLook& other) const {
            return caption == other.caption && outcome.kind == other.outcome.kind &&
                   outcome.failure == other.outcome.failure && outcome.code == other.outcome.code;
        }
    };
    std::vector<RowLook> LooksInView(std::size_t& top) const;

    // Posted to the list itself: the texts changed (TextsChanged).
    static constexpr UINT kWmTextsChanged = WM_APP + 1;

    HWND hwnd_ = nullptr;
    HWND keyTip_ = nullptr;    // owned by the list: goes with it
    bool inKey_ = false;       // the control is handling a key
    std::optional<int> pathRoom_;  // while the control paints: the room of the paths it draws
    bool textsChangePosted_ = false;
    std::function<void()> onTextsChanged_;
    ShortcutListModel model_;
    std::size_t shownCount_ = 0;
    int plainIcon_ = -1;  // the shortcut type's own, without a look at the file
    bool locked_ = false;
    bool iconsAsked_ = false;  // iconsWanted_ told, LookUpIcons not called since
    std::function<void()> iconsWanted_;
    CutPreview preview_;
    bool previewOn_ = false;
    std::function<void()> onRowsChanged_;
    std::function<bool(CommandId)> gate_;
    std::size_t watchedTop_ = 0;
    std::vector<RowLook> watched_;
};

}  // namespace tsly
