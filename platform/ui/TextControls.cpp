#include "platform/ui/TextControls.h"

#include <QResizeEvent>
#include <QTextCursor>

namespace ui {

// ---- Label

Label::Label(QWidget* parent) : Control<QLabel>(parent) { setTextFormat(Qt::PlainText); }

Label::Label(const QString& caption, QWidget* parent) : Label(parent) { SetCaption(caption); }

void Label::SetCaption(const QString& caption) {
    caption_ = caption;
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
}

void Label::SetBorder(bool on) { setFrameStyle(on ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame); }

// ---- TextBox

TextBox::TextBox(QWidget* parent, Lines lines) : Control<QWidget>(parent) {
    if (lines == Lines::Single) {
        line_ = new QLineEdit(this);
        editor_ = line_;
        connect(line_, &QLineEdit::textChanged, this, &TextBox::Change);
    } else {
        multi_ = new QPlainTextEdit(this);
        multi_->setTabChangesFocus(true);
        editor_ = multi_;
        connect(multi_, &QPlainTextEdit::textChanged, this, [this] {
            CutToMaxLength();
            emit Change();
        });
    }
    setFocusProxy(editor_);
    setFocusPolicy(editor_->focusPolicy());
}

QString TextBox::Text() const { return line_ ? line_->text() : multi_->toPlainText(); }

void TextBox::SetText(const QString& text) {
    const QString cut = maxLength_ > 0 ? text.left(maxLength_) : text;
    if (line_) line_->setText(cut);
    else if (multi_->toPlainText() != cut) multi_->setPlainText(cut);
}

void TextBox::SetMaxLength(int length) {
    maxLength_ = qMax(0, length);
    if (line_) line_->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    else CutToMaxLength();
}

void TextBox::CutToMaxLength() {
    if (!multi_ || maxLength_ <= 0) return;
    const QString text = multi_->toPlainText();
    if (text.size() <= maxLength_) return;
    QTextCursor cursor(multi_->document());
    cursor.setPosition(maxLength_);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

bool TextBox::Locked() const { return line_ ? line_->isReadOnly() : multi_->isReadOnly(); }

void TextBox::SetLocked(bool locked) {
    if (line_) line_->setReadOnly(locked);
    else multi_->setReadOnly(locked);
}

void TextBox::SetAlignment(Qt::Alignment alignment) {
    if (line_) line_->setAlignment(alignment);
}

void TextBox::SelectAll() {
    if (line_) line_->selectAll();
    else multi_->selectAll();
}

QColor TextBox::BackColor() const { return editor_->palette().color(QPalette::Base); }

void TextBox::SetBackColor(const QColor& colour) {
    QPalette p = editor_->palette();
    p.setColor(QPalette::Base, colour);
    editor_->setPalette(p);
}

void TextBox::resizeEvent(QResizeEvent* event) {
    Control<QWidget>::resizeEvent(event);
    editor_->setGeometry(rect());
}

}  // namespace ui
