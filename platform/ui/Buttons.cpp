#include "platform/ui/Buttons.h"

#include <QMouseEvent>

#include "platform/ui/Grid.h"

namespace ui {

// ---- CommandButton

CommandButton::CommandButton(QWidget* parent) : Control<QPushButton>(parent) {
    setAutoDefault(false);
    // A command first commits the edit open in a grid of its window; a
    // refused edit keeps the cursor in its cell and the command does not run.
    connect(this, &QPushButton::clicked, this, [this] {
        if (DataGrid::CommitAllPendingEdits(window())) emit Click();
    });
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : CommandButton(parent) { setText(caption); }

void CommandButton::SetPicture(const QPixmap& picture) {
    setIcon(QIcon(picture));
    setIconSize(picture.deviceIndependentSize().toSize());
}

// ---- ButtonArray

CommandButton& ButtonArray::Add(int index, QWidget* parent, const QString& caption) {
    auto* button = new CommandButton(caption, parent);
    button->setObjectName(objectName().isEmpty() ? QString() : QStringLiteral("%1(%2)").arg(objectName()).arg(index));
    return Adopt(index, button);
}

CommandButton& ButtonArray::Adopt(int index, CommandButton* button) {
    buttons_[index] = button;
    connect(button, &CommandButton::Click, this, [this, index] { emit Click(index); });
    return *button;
}

CommandButton& ButtonArray::operator[](int index) const {
    CommandButton* button = Item(index);
    Q_ASSERT_X(button, "ButtonArray", "no button of that index");
    return *button;
}

CommandButton* ButtonArray::Item(int index) const {
    auto it = buttons_.find(index);
    return it == buttons_.end() ? nullptr : it->second.data();
}

int ButtonArray::IndexOf(const CommandButton* button) const {
    for (const auto& [index, b] : buttons_)
        if (b == button) return index;
    return -1;
}

QList<int> ButtonArray::Indexes() const {
    QList<int> indexes;
    for (const auto& entry : buttons_) indexes.append(entry.first);
    return indexes;
}

// ---- CheckBox

CheckBox::CheckBox(QWidget* parent) : Control<QCheckBox>(parent) {
    connect(this, &QCheckBox::toggled, this, &CheckBox::Click);
}

// ---- OptionButton

OptionButton::OptionButton(QWidget* parent) : Control<QRadioButton>(parent) {
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on) emit Click();
    });
}

void OptionButton::SetValue(bool selected) {
    if (selected || !isChecked()) {
        setChecked(selected);
        return;
    }
    // An exclusive group keeps its selected button: clear it outside the group.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

// ---- ImageButton

ImageButton::ImageButton(QWidget* parent) : Control<QLabel>(parent) {
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit Click();
}

}  // namespace ui
