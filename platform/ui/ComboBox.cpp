#include "platform/ui/ComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace ui {

ComboBox::ComboBox(QWidget* parent, Style style) : Control<QComboBox>(parent) {
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    connect(this, &QComboBox::activated, this, [this] { emit Click(); });
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (isEditable()) emit Change();
    });
    SetComboStyle(style);
}

void ComboBox::SetComboStyle(Style style) {
    setEditable(style == Style::Editable);
    if (isEditable()) SetUpEditor();
}

void ComboBox::SetUpEditor() {
    setCompleter(nullptr);
    lineEdit()->setClearButtonEnabled(false);
}

void ComboBox::Clear() {
    clear();
    if (isEditable()) setEditText(QString());
}

void ComboBox::AddItem(const QString& item) { AddItems(QStringList{item}); }

void ComboBox::AddItems(const QStringList& items) {
    if (items.isEmpty()) return;
    // Adding to a list without a chosen item chooses none (Qt would take the
    // first item added to an empty list as the text).
    const QSignalBlocker quiet(this);
    const int before = currentIndex();
    const QString typed = isEditable() ? currentText() : QString();
    addItems(items);
    if (before < 0) {
        setCurrentIndex(-1);
        if (isEditable()) setEditText(typed);
    }
}

void ComboBox::SetText(const QString& text) {
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    if (isEditable() && currentText() != text) setEditText(text);
}

void ComboBox::SetListIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
    if (currentIndex() >= 0) emit Click();
}

void ComboBox::focusOutEvent(QFocusEvent* event) {
    Control<QComboBox>::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) emit LostFocus();
}

}  // namespace ui
