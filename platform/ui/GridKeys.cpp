// Input to a grid: keys (the screen's handlers first, then the grid's own),
// the input method's text, clicks and double clicks.
#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

#include "platform/ui/Grid.h"
#include "platform/ui/GridFormat.h"
#include "platform/ui/GridModel.h"
#include "platform/ui/GridView.h"

namespace ui {

namespace {

bool IsFunctionKey(int key) { return key >= Qt::Key_F1 && key <= Qt::Key_F35; }

int KeyCodeOf(const QKeyEvent* e) {
    using namespace grid_keys;
    const int k = e->key();
    switch (k) {
    case Qt::Key_Backspace: return kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kReturn;
    case Qt::Key_Shift: return kShift;
    case Qt::Key_Control: return kControl;
    case Qt::Key_Alt: return kMenu;
    case Qt::Key_Escape: return kEscape;
    case Qt::Key_Space: return kSpace;
    case Qt::Key_PageUp: return kPageUp;
    case Qt::Key_PageDown: return kPageDown;
    case Qt::Key_End: return kEnd;
    case Qt::Key_Home: return kHome;
    case Qt::Key_Left: return kLeft;
    case Qt::Key_Up: return kUp;
    case Qt::Key_Right: return kRight;
    case Qt::Key_Down: return kDown;
    case Qt::Key_Insert: return kInsert;
    case Qt::Key_Delete: return kDelete;
    default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return kF1 + (k - Qt::Key_F1);
    if (k >= Qt::Key_0 && k <= Qt::Key_9 && (e->modifiers() & Qt::KeypadModifier)) return 96 + (k - Qt::Key_0);
    if (k == 0 || k == Qt::Key_unknown) return e->text().isEmpty() ? 0xFFFF : e->text().at(0).unicode();
    return k;  // letters and digits: their upper-case character codes, as the platform's
}

int ShiftOf(Qt::KeyboardModifiers m) {
    using namespace grid_keys;
    return ((m & Qt::ShiftModifier) ? kShiftMask : 0) | ((m & Qt::ControlModifier) ? kCtrlMask : 0) |
           ((m & Qt::AltModifier) ? kAltMask : 0);
}

}  // namespace

bool DataGrid::HandleKey(QKeyEvent* event, bool fromEditor) {
    const int qtKey = event->key();
    int code = KeyCodeOf(event);
    int shift = ShiftOf(event->modifiers());
    if (onKeyDown) {
        onKeyDown(code, shift);
        if (code == 0) return true;
    }
    // When the handler closed the editor the key is no longer the editor's.
    const bool editorGone = fromEditor && !editorOpen_;
    fromEditor = fromEditor && editorOpen_;
    if (IsFunctionKey(qtKey)) return false;

    QString typed = event->text();
    const bool printable =
        !typed.isEmpty() && typed.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    int ascii = 0;
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: ascii = 13; break;
    case Qt::Key_Escape: ascii = 27; break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: ascii = 9; break;
    case Qt::Key_Backspace: ascii = 8; break;
    default:
        if (printable) ascii = typed.at(0).unicode();
    }
    bool replaced = false;
    if (ascii != 0 && onKeyPress) {
        int keyAscii = ascii;
        onKeyPress(keyAscii);
        if (keyAscii == 0) return true;
        if (printable && keyAscii != ascii) {
            typed = QString(QChar(keyAscii));
            replaced = true;
        }
        fromEditor = fromEditor && editorOpen_;
    }

    const bool alt = event->modifiers() & Qt::AltModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int n = RowCount();
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: MoveByTabOrEnter(true); return true;
    case Qt::Key_Tab: MoveByTabOrEnter(!(event->modifiers() & Qt::ShiftModifier)); return true;
    case Qt::Key_Backtab: MoveByTabOrEnter(false); return true;
    case Qt::Key_Escape:
        if (pending_.active || editorOpen_) {
            DiscardPendingEdit();
            return true;
        }
        return editorGone;
    case Qt::Key_Down:
        if (alt) {
            if (HasCellButton(col_) && IsRealRow(row_)) PressButton();
            return true;
        }
        if (row_ < n - 1) MoveTo(row_ + 1, col_);
        return true;
    case Qt::Key_Up:
        if (n > 0 && row_ > 0) MoveTo(std::min(row_, n) - 1, col_);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (n == 0) return true;
        const int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
        const int page = std::max(1, view_->viewport()->height() / rowHeight - 1);
        const int target =
            qtKey == Qt::Key_PageUp ? std::max(0, std::min(row_, n) - page) : std::min(n - 1, std::max(row_, 0) + page);
        MoveTo(target, col_);
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool left = qtKey == Qt::Key_Left;
        // A refused text is selected for typing over, not for leaving.
        if (fromEditor && (pending_.refused || !editor_->hasSelectedText()) &&
            (left ? editor_->cursorPosition() > 0 : editor_->cursorPosition() < editor_->text().size()))
            return false;  // the caret moves inside the text
        if (!IsRealRow(row_)) return true;
        const int next = NextEnterable(col_, left ? -1 : 1);
        if (next >= 0) MoveTo(row_, next);
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (fromEditor) return false;
        const bool home = qtKey == Qt::Key_Home;
        if (ctrl) {
            if (n > 0) MoveTo(home ? 0 : n - 1, col_);
        } else if (IsRealRow(row_)) {
            const int c = home ? NextEnterable(-1, 1) : NextEnterable(ColumnCount(), -1);
            if (c >= 0) MoveTo(row_, c);
        }
        return true;
    }
    case Qt::Key_Space:
        if (!fromEditor && Columns(col_).CheckBox()) {
            ToggleCheck();
            return true;
        }
        break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (fromEditor) return false;
        if (CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(QString(), true);
        return true;
    default: break;
    }
    if (printable) {
        if (fromEditor) {
            if (!replaced) return false;
            editor_->insert(typed);
            return true;
        }
        if (editorOpen_) editor_->insert(typed);  // the editor is open but the view has the key
        else if (CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(typed, true);
        return true;
    }
    return editorGone;
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (composing_) return false;  // the input method's key
        const bool ends = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape;
        if (compositionEnded_ && ends) {
            compositionEnded_ = false;
            return true;
        }
        return HandleKey(key, true);
    }
    if (event->type() == QEvent::MouseButtonPress && pending_.active && pending_.clickSelects &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A click on a cell whose text was refused selects that text, as the
        // refusal did, so that typing replaces it.
        pending_.clickSelects = false;
        editor_->setFocus(Qt::MouseFocusReason);
        editor_->selectAll();
        return true;
    }
    if (event->type() == QEvent::InputMethod) {
        auto* ime = static_cast<QInputMethodEvent*>(event);
        if (!ime->preeditString().isEmpty()) {
            composing_ = true;
        } else if (composing_) {
            // Some input methods hand the key that ended the composition on as
            // well: it is theirs, not the grid's.
            composing_ = false;
            compositionEnded_ = true;
            QTimer::singleShot(0, this, [this] { compositionEnded_ = false; });
        }
    }
    return false;
}

void DataGrid::ViewMousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = view_->indexAt(pos);
    if (!index.isValid()) return;
    int col = index.column();
    const bool enterable = Enterable(col);
    const bool onButton = enterable && HasCellButton(col) && ButtonRect(view_->visualRect(index)).contains(pos);
    const bool wasCurrent = index.row() == row_ && col == col_;
    if (!enterable) col = col_;  // the row changes, the column stays
    if (!MoveTo(index.row(), col)) {
        SetFocus();
        return;
    }
    if (enterable && Columns(col).CheckBox()) {
        ToggleCheck();
    } else if (onButton) {
        PressButton();
    } else if (enterable && wasCurrent && !editorOpen_ && CanEdit(col)) {
        OpenEditor(CellEditText(CellValue(row_, col)), false);
    }
    SetFocus();
}

void DataGrid::ViewDoubleClick(QMouseEvent* event) {
    const QModelIndex index = view_->indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const bool onCurrent = index.row() == row_ && (index.column() == col_ || !Enterable(index.column()));
        if (!onCurrent) ViewMousePress(event);  // a double click whose first click went elsewhere
        else if (index.column() == col_ && Columns(col_).CheckBox()) ToggleCheck();  // its second click
    }
    if (onDblClick) onDblClick();
}

void DataGrid::ViewInputMethod(QInputMethodEvent* event) {
    if (!editorOpen_ && CanEdit(col_) && !Columns(col_).CheckBox()) OpenEditor(QString(), false);
    if (editorOpen_) QCoreApplication::sendEvent(editor_, event);
    else event->ignore();
}

}  // namespace ui
