#pragma once
// Labels and text boxes.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include "platform/ui/Control.h"

namespace ui {

// Text that the user cannot change. The caption keeps the text as set; a
// CR LF line break shows as one line break.
class Label : public Control<QLabel> {
    Q_OBJECT

public:
    explicit Label(QWidget* parent = nullptr);
    Label(const QString& caption, QWidget* parent);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    void SetAlignment(Qt::Alignment alignment) { setAlignment(alignment); }
    // A sunken border, as a field shown by a label.
    void SetBorder(bool on);

private:
    QString caption_;
};

// A text field, single-line or multi-line. Locked makes it read-only (the
// text can still be selected and copied). Change is emitted whenever the
// text changes, by typing or by code.
class TextBox : public Control<QWidget> {
    Q_OBJECT

public:
    enum class Lines { Single, Multi };

    explicit TextBox(QWidget* parent = nullptr, Lines lines = Lines::Single);

    QString Text() const;
    void SetText(const QString& text);
    // The longest text the user can type; 0 means no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool Locked() const;
    void SetLocked(bool locked);
    void SetAlignment(Qt::Alignment alignment);
    void SelectAll();

    // The Qt editor inside: a QLineEdit or a QPlainTextEdit.
    QWidget* Editor() const { return editor_; }

    QColor BackColor() const;
    void SetBackColor(const QColor& colour);
    void SetBackColorBgr(quint32 bgr) { SetBackColor(Bgr(bgr)); }

signals:
    void Change();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CutToMaxLength();

    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    QWidget* editor_ = nullptr;
    int maxLength_ = 0;
};

}  // namespace ui
