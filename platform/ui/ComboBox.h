#pragma once
// A combo box, editable (the user may type any text) or list-only (the text
// is always one of the items, or empty). Typed text is never added to the
// list and is not completed from it.

#include <QComboBox>

#include "platform/ui/Control.h"

namespace ui {

class ComboBox : public Control<QComboBox> {
    Q_OBJECT

public:
    enum class Style { Editable, ListOnly };

    explicit ComboBox(QWidget* parent = nullptr, Style style = Style::Editable);

    Style ComboStyle() const { return isEditable() ? Style::Editable : Style::ListOnly; }
    void SetComboStyle(Style style);

    // Empties the list and the text.
    void Clear();
    void AddItem(const QString& item);
    // The same for several items at once, in their order.
    void AddItems(const QStringList& items);
    void RemoveItem(int index) { removeItem(index); }

    // The text: what is typed (editable) or the chosen item (list-only).
    QString Text() const { return currentText(); }
    // Setting a text that equals an item also chooses that item. A list-only
    // combo takes only an item's text; anything else leaves no item chosen.
    void SetText(const QString& text);

    // The chosen item, from 0; -1 when none.
    int ListIndex() const { return currentIndex(); }
    void SetListIndex(int index);
    int ListCount() const { return count(); }
    QString List(int index) const { return itemText(index); }

signals:
    // The text changed, by typing or by code (editable combos).
    void Change();
    // An item was chosen from the list, or ListIndex was set by code.
    void Click();
    // The focus moved from the combo to another control of the same window.
    void LostFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetUpEditor();
};

}  // namespace ui
