#pragma once
// Buttons of the screens: command buttons (alone or in arrays by index),
// check boxes, option buttons and clickable images.

#include <QCheckBox>
#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <map>

#include "platform/ui/Control.h"

namespace ui {

// A push button. Click is emitted when the user presses it (mouse, space
// bar) or code calls click(); screens connect their handlers to it.
class CommandButton : public Control<QPushButton> {
    Q_OBJECT

public:
    explicit CommandButton(QWidget* parent = nullptr);
    CommandButton(const QString& caption, QWidget* parent);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    // A picture in place of or beside the caption (the month-step buttons).
    void SetPicture(const QPixmap& picture);

signals:
    void Click();
};

// Command buttons that share one name and one click handler, told apart by
// their index (cmd印刷サブ(0..2), cmd月別(0..11), cmd50(0..49)).
class ButtonArray : public QObject {
    Q_OBJECT

public:
    explicit ButtonArray(QObject* parent = nullptr) : QObject(parent) {}

    // Makes the button of that index on the widget parent.
    CommandButton& Add(int index, QWidget* parent, const QString& caption = {});
    // Takes a button made elsewhere as the one of that index.
    CommandButton& Adopt(int index, CommandButton* button);

    // The button of that index; it must exist.
    CommandButton& operator[](int index) const;
    // The button of that index, or nullptr.
    CommandButton* Item(int index) const;
    // The index of a button of the array, or -1.
    int IndexOf(const CommandButton* button) const;
    int Count() const { return int(buttons_.size()); }
    QList<int> Indexes() const;

signals:
    void Click(int index);

private:
    std::map<int, QPointer<CommandButton>> buttons_;
};

// Any other control array by index (num月計(0..11)).
template <class T>
class ControlArray {
public:
    T& Add(int index, T* control) {
        controls_[index] = control;
        return *control;
    }
    T& operator[](int index) const { return *controls_.at(index); }
    T* Item(int index) const {
        auto it = controls_.find(index);
        return it == controls_.end() ? nullptr : it->second.data();
    }
    int Count() const { return int(controls_.size()); }

private:
    std::map<int, QPointer<T>> controls_;
};

// A check box whose value is 0 (clear) or 1 (ticked). Click is emitted
// whenever the value changes, by the user or by code.
class CheckBox : public Control<QCheckBox> {
    Q_OBJECT

public:
    explicit CheckBox(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value != 0); }

signals:
    void Click();
};

// An option button: one of the option buttons with the same parent (form,
// panel or frame) is selected at a time. Click is emitted when it becomes
// selected, by the user or by code.
class OptionButton : public Control<QRadioButton> {
    Q_OBJECT

public:
    explicit OptionButton(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    bool Value() const { return isChecked(); }
    // Selecting clears the others of the group; clearing leaves the group
    // without a selection.
    void SetValue(bool selected);

signals:
    void Click();
};

// A picture that acts as a link: Click is emitted on a left click.
class ImageButton : public Control<QLabel> {
    Q_OBJECT

public:
    explicit ImageButton(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture) { setPixmap(picture); }

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace ui
