// The history window: every kept cut, newest first, and the chosen cut's
// rows with what undoing them now would do, from the undo's own plan. The
// user chooses a cut to undo (the main window then undoes it as Ctrl+Z
// would) or to forget.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/undo_history.h"
#include "core/undo_plan.h"
#include "dialogs/form.h"
#include "platform/file_system.h"

namespace tsly {

class TFrmHistory final : public dialogs::Form {
public:
    enum Id : int {
        LabelCuts = 500,
        ListCuts,
        LabelRows,
        ListRows,
        ButtonUndo,
        ButtonDelete,
        ButtonClose,
    };

    TFrmHistory(POINT position, UndoHistory& undo, const ShortcutListModel& list);

    // The cut to undo, when the window was closed with 元に戻す.
    const std::optional<UndoHistory::Kept>& Chosen() const { return chosen_; }

private:
    // A cell of a list as it is drawn (the rows' list plans as far as it).
    std::wstring CellText(int listId, int row, int column);
    void OnCommand(int id) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AddColumns();
    // The cuts afresh, `select` chosen.
    void FillCuts(int select);
    int SelectedCut() const;
    // The chosen cut's rows, planned again as they are drawn.
    void ShowRows();
    // A cut's rows as an undo would find them now, last renamed first;
    // summarizes the cut.
    std::vector<UndoRow> RowsInUndoOrder(UndoHistory::Kept& cut) const;
    // A turn of the window's work between the user's messages: the chosen
    // cut's rows, then one cut's summary and count of rows an undo would
    // put back now; false when all is done.
    bool WorkTurn();

    UndoHistory& undo_;
    const ShortcutListModel& list_;
    std::vector<UndoHistory::Kept> cuts_;
    std::vector<std::wstring> backNow_;  // per cut; empty until counted
    // The chosen cut's rows, last renamed first as the undo goes, and the
    // plans made so far.
    std::vector<UndoRow> rows_;
    int rowsOf_ = -1;  // the cut they are of
    bool filling_ = false;  // the cuts are listed afresh: no rows read yet
    std::vector<UndoAction> plans_;
    std::unique_ptr<win::DiskLook> disk_;
    std::unique_ptr<UndoForecast> forecast_;
    std::optional<UndoHistory::Kept> chosen_;
};

// Shows the window modally; the cut the user chose to undo, if any.
std::optional<UndoHistory::Kept> ShowHistoryWindow(POINT position, UndoHistory& undo,
                                                   const ShortcutListModel& list);

}  // namespace tsly
