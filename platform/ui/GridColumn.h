#pragma once
// One column of a DataGrid: the field it shows and how it shows and edits it.
// Every setting can be read and changed at run time; a change shows at once.
// Widths are in twips. Value and Text are those of the grid's current row.

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "platform/ui/GridDropDown.h"

namespace ui {

class DataGrid;

enum class ColumnAlignment {
    General,  // numbers to the right, everything else to the left
    Left,
    Center,
    Right,
};

class GridColumn {
public:
    // Opens an external editor for the cell (a date picker): gets the cell's
    // rectangle on the screen and its current value, returns the new value,
    // or nullopt when the user cancelled.
    using ButtonEditor = std::function<std::optional<QVariant>(const QRect& cellOnScreen, const QVariant& value)>;

    GridColumn(const GridColumn&) = delete;
    GridColumn& operator=(const GridColumn&) = delete;

    int Index() const { return index_; }
    // The bound field, by name.
    QString DataField() const { return field_; }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int Width() const { return width_; }
    void SetWidth(int twips);
    ColumnAlignment Alignment() const { return alignment_; }
    void SetAlignment(ColumnAlignment alignment);
    // See GridFormat.h; empty for the plain value.
    QString NumberFormat() const { return format_; }
    void SetNumberFormat(const QString& format);
    // Whether the cursor may enter the column: the user can neither move into
    // nor edit a column that does not allow it (code may still make it current).
    bool AllowFocus() const { return allowFocus_; }
    void SetAllowFocus(bool allow);
    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor& color);
    // Points; 0 keeps the grid's font.
    int FontSize() const { return fontSize_; }
    void SetFontSize(int points);
    // Yes/no values drawn as a check box; a click or Space toggles and commits.
    bool CheckBox() const { return checkBox_; }
    void SetCheckBox(bool on);
    // A drop-down list opened by the cell's button or Alt+Down; nullptr for none.
    GridDropDown* DropDown() const { return dropDown_; }
    void SetDropDown(GridDropDown* dropDown);
    // A cell button (Alt+Down presses it too): raises the grid's button-click
    // event, then runs the external editor when there is one; a value it
    // returns is committed at once.
    bool Button() const { return button_; }
    void SetButton(bool on);
    void SetButtonEditor(ButtonEditor editor) { buttonEditor_ = std::move(editor); }
    // Characters the user may type into a cell; 0 for no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int characters);

    // The current row's cell. While the user edits it, the value being edited
    // (the typed text). Writing stores the value in the table at once and
    // raises no events; inside the grid's before-update handler for this very
    // cell, writing changes the value about to be committed instead. Null is
    // allowed; empty text is stored as Null. False when there is no current
    // row or the value does not fit the field.
    QVariant Value() const;
    bool SetValue(const QVariant& value);
    // The cell as shown (number format applied), or the text being edited.
    QString Text() const;
    bool SetText(const QString& text) { return SetValue(QVariant(text)); }

private:
    friend class DataGrid;
    GridColumn(DataGrid* grid, int index, const QString& field)
        : grid_(grid), index_(index), field_(field), caption_(field) {}
    void Changed(bool layout);

    DataGrid* grid_;
    int index_;
    QString field_;
    int fieldIndex_ = -1;  // in the data control, resolved at each refresh
    QString caption_;
    bool visible_ = true;
    int width_ = 1215;
    ColumnAlignment alignment_ = ColumnAlignment::General;
    QString format_;
    bool allowFocus_ = true;
    QColor foreColor_ = QColor(Qt::black);
    int fontSize_ = 0;
    bool checkBox_ = false;
    QPointer<GridDropDown> dropDown_;
    bool button_ = false;
    ButtonEditor buttonEditor_;
    int maxLength_ = 0;
};

}  // namespace ui
