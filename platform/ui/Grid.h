#pragma once
// The data grid: the rows of a DataControl shown and edited in place.
//
//   ui::DataGrid grid;
//   grid.SetDataSource(&dat入力明細);
//   grid.SetColumns({"チェック", "lno", ..., "摘要"});   // the column order of the screen
//   grid.Columns(10).SetNumberFormat("#,###");
//   grid.onAfterColUpdate = [this](int col) { AfterColUpdate(col); };
//   dat入力明細.Refresh();
//
// Editing. Typing into a cell (or Delete/Backspace, a drop-down pick, a
// check-box toggle, a value from the cell button's editor) makes a pending
// edit of that cell. The pending edit is committed whenever the cursor leaves
// the cell, by the user or by code (setting Col or Row, the Move operations),
// and by CommitPendingEdit, which the forms layer runs before every command
// (CommitAllPendingEdits). A commit raises onBeforeColUpdate, stores the value
// in the table at once, then raises onAfterColUpdate. A cancelled before-update
// stores nothing, skips the after-update, keeps the cell as the handler left
// it (still pending) and keeps the cursor in it, with the kept text selected
// so that typing replaces it; the first click on that cell selects it again
// (a further click places the caret). Esc drops the pending edit and
// shows the stored value again, with no events. Check boxes and the button
// editor's values commit at once. Empty text is stored as Null; the test is
// made on the value, never on the formatted text (an amount 0 stays 0).
// Values written by code (Columns(c).SetValue / SetText) are stored at once and
// raise no events.
//
// Keys. onKeyDown sees every key first, also while a cell editor is open and
// before the grid acts on it; setting the key code to 0 stops the grid's own
// handling. onKeyPress follows for keys that type a character (and Enter 13,
// Tab 9, Backspace 8, Esc 27); 0 drops it, another code types that character
// instead. The grid's own keys:
//   Enter, Tab      commit, then the next enterable visible column to the
//                   right, wrapping to the first one of the next row
//   Shift+Tab       the same to the left
//   Up, Down        commit, then the row above or below (no row is added)
//   PageUp/PageDown commit, then a page of rows
//   Left, Right     inside an open editor they move the caret, and only at
//                   the editor's first or last character leave the cell;
//                   otherwise commit, then the next enterable column that way
//   Home, End       (no editor) the first or last enterable column;
//                   with Ctrl the first or last row
//   Space           toggles a check box cell
//   Alt+Down        opens the drop-down list or presses the cell button
//   Esc             drops the pending edit; with none it is left to the form
// Function keys are not the grid's: they are passed on untouched, so the
// form's key preview owns them. The Enter or Esc that ends an input-method
// composition is the input method's and never reaches onKeyDown.
//
// The cursor. Row() is the position in the data control's rows, 0 for the
// first; Row() == RowCount() is the "past the last row" state (IsEOF), -1 the
// state before the first (IsBOF); an empty grid is both. The user never
// enters a column that does not allow focus: a click on such a column only
// changes the row. Code may make any visible column current; asking for a
// hidden one gives the nearest enterable visible column to its left, else to
// its right. onRowColChange follows every change of the current cell, by the
// user or by code (a Refresh that moves the cursor included), with the row
// and column before the change (the row is Null when there was none).
//
// The current row is shown as a band across the whole row, the current cell
// in the selection colour within it.
//
// Mouse. A click moves the cursor (committing first); a click on the current
// cell opens its editor on the stored value; a click on a check box cell
// toggles it; a click on the button at the right of a drop-down or button
// cell presses it. A double click raises onDblClick.
//
// Refresh of the data control drops a pending edit without events and puts
// the cursor on the first row. The grid widget is the window to hand to the
// input-method switch: its cell editor is a child of it.

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/DataControl.h"
#include "platform/ui/GridColumn.h"
#include "platform/ui/GridDropDown.h"

class QAbstractItemView;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

namespace ui {

class GridModel;
class GridView;
class GridDelegate;

// Key codes of onKeyDown (those of the Windows virtual keys).
namespace grid_keys {
constexpr int kBack = 8, kTab = 9, kReturn = 13, kShift = 16, kControl = 17, kMenu = 18, kEscape = 27, kSpace = 32,
              kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
              kInsert = 45, kDelete = 46, kF1 = 112;
// The shift argument: a sum of these.
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
}  // namespace grid_keys

class DataGrid : public QWidget {
    Q_OBJECT

public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // ---- binding and columns
    void SetDataSource(DataControl* source);
    DataControl* DataSource() const { return source_; }
    // One column per field name, in this order, with default settings
    // (caption = field name). Binding a grid that has no columns yet makes one
    // per field of the data control at its next refresh.
    void SetColumns(const QStringList& fields);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    // A column by index; an index out of range gives a detached column whose
    // settings go nowhere.
    GridColumn& Columns(int index);
    const GridColumn& Columns(int index) const;

    // ---- the cursor
    int Row() const { return row_; }
    int RowCount() const;
    int Col() const { return col_; }
    // Code moves: they commit the pending edit first and return false, leaving
    // the cursor where it was, when that commit is cancelled.
    bool SetRow(int row);
    bool SetCol(int col);
    bool MoveFirst();
    bool MoveLast();
    bool MoveNext();
    bool MovePrevious();
    bool IsBOF() const;
    bool IsEOF() const;

    // ---- cells of any row (the current row: Columns(c).Value / Text)
    QVariant CellValue(int row, int col) const;
    QString CellText(int row, int col) const;
    // The cell of the row above the current one; Null when there is none.
    QVariant ValueAbove(int col) const { return CellValue(row_ - 1, col); }

    // ---- editing
    // True when the current cell holds a change not yet committed.
    bool HasPendingEdit() const;
    bool IsEditing() const { return editorOpen_; }
    // Commits the pending edit (this is also the commit of the current row:
    // every other cell is already in the table). False when the before-update
    // handler cancelled it or the table refused the value.
    bool CommitPendingEdit();
    // Commits the pending edits of every live grid, or of the grids inside
    // one window when scope is given. The forms layer calls it before a
    // button's or a mapped function key's handler runs, so a command always
    // sees the user's last change in the table. False when any was cancelled.
    static bool CommitAllPendingEdits(const QWidget* scope = nullptr);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // The user can neither add nor delete rows in any grid of the program.
    bool AllowAddNew() const { return false; }
    bool AllowDelete() const { return false; }

    // The band behind every cell of the current row: the selection colour
    // lightened over the cells' own background.
    QColor CurrentRowColor() const;

    // Focus to the grid (to its open editor when there is one).
    void SetFocus();
    QString LastError() const { return error_; }
    // The inner table view: for scrolling, and for tests that click cells.
    QAbstractItemView* View() const;

    // ---- events
    std::function<void(int& keyCode, int& shift)> onKeyDown;
    std::function<void(int& keyAscii)> onKeyPress;
    std::function<void(int col, const QVariant& oldValue, int& cancel)> onBeforeColUpdate;
    std::function<void(int col)> onAfterColUpdate;
    std::function<void(const QVariant& lastRow, int lastCol)> onRowColChange;
    // A row was picked from the column's drop-down list (now the pending edit).
    std::function<void(int col)> onDropDownChoice;
    std::function<void()> onDblClick;
    std::function<void(int col)> onButtonClick;
    // The user changed the current cell's content (typing, a toggle, a pick).
    std::function<void()> onChange;
    // A commit that the table refused (a value that does not fit the field):
    // the edit stays pending and the cursor stays.
    std::function<void(int col, const QString& message)> onError;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class GridColumn;
    friend class GridModel;
    friend class GridView;
    friend class GridDelegate;

    struct Pending {
        bool active = false;  // a changed, uncommitted cell
        int row = -1;
        int col = -1;
        QVariant value;  // when no editor is open, or set by code during before-update
        bool fromCode = false;
        bool refused = false;       // its commit was cancelled, and nothing typed since
        bool clickSelects = false;  // refused, and not clicked since
    };

    // binding
    void OnAboutToRefresh();
    void OnRefreshed();
    void OnValueWritten(int row, int field);
    void EndRebind();
    void ResolveFields();
    void ApplyLayout();
    void UpdateRowHeight();
    void ColumnChanged(int col, bool layout);

    // cursor
    bool IsRealRow(int row) const { return row >= 0 && row < RowCount(); }
    bool MoveTo(int row, int col);
    int CodeColumn(int col) const;
    int NextEnterable(int from, int step) const;
    bool Enterable(int col) const;
    bool CanEdit(int col) const;
    void SyncView();
    void MoveByTabOrEnter(bool forward);

    // editing
    QVariant CurrentValue(int col) const;
    QString CurrentText(int col) const;
    bool SetCurrentValue(int col, const QVariant& value);
    QVariant PendingValue() const;
    bool StoreCell(int row, int col, const QVariant& value);
    void BeginPending(const QVariant& value);
    void DiscardPendingEdit();
    void OpenEditor(const QString& text, bool changed);
    void CloseEditor();
    void PlaceEditor();
    void ToggleCheck();
    void PressButton();
    void OpenDropDown();
    void DropDownPicked(int row, int col, int listRow);
    QRect CellRect(int row, int col) const;
    QRect ButtonRect(const QRect& cell) const;
    bool HasCellButton(int col) const;

    // input from the view and the editor
    bool HandleKey(QKeyEvent* event, bool fromEditor);
    void ViewMousePress(QMouseEvent* event);
    void ViewDoubleClick(QMouseEvent* event);
    void ViewInputMethod(QInputMethodEvent* event);
    void InvalidateCell(int row, int col);

    QPointer<DataControl> source_;
    std::vector<std::unique_ptr<GridColumn>> columns_;
    std::unique_ptr<GridColumn> detached_;
    GridModel* model_ = nullptr;
    GridView* view_ = nullptr;
    QLineEdit* editor_ = nullptr;
    int row_ = 0;
    int col_ = 0;
    Pending pending_;
    bool editorOpen_ = false;
    bool committing_ = false;
    bool readOnly_ = false;
    bool composing_ = false;
    bool compositionEnded_ = false;
    struct {
        int row = 0;
        int col = 0;
        bool real = false;
    } beforeRefresh_;
    QString error_;
};

}  // namespace ui
