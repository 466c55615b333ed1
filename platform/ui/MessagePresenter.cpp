#include "platform/ui/MessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

MessagePresenter& DefaultPresenter() {
    static QtMessagePresenter presenter;
    return presenter;
}

MessagePresenter* g_current = nullptr;  // nullptr: the default presenter

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

Answer EscapeAnswer(const MessageBoxContent& box) {
    switch (box.buttons) {
    case MessageButtons::YesNo: return Answer::No;
    case MessageButtons::OkCancel: return Answer::Cancel;
    case MessageButtons::Ok: break;
    }
    return Answer::Ok;
}

MessagePresenter& CurrentPresenter() { return g_current ? *g_current : DefaultPresenter(); }

MessagePresenter* SetPresenter(MessagePresenter* presenter) {
    MessagePresenter* previous = &CurrentPresenter();
    g_current = presenter == &DefaultPresenter() ? nullptr : presenter;
    return previous;
}

Answer QtMessagePresenter::Present(const MessageBoxContent& request) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);  // subjects are shown as typed, never as markup
    box.setText(request.text);
    box.setIcon(ToQtIcon(request.icon));

    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    if (request.buttons == MessageButtons::YesNo) {
        yes = box.addButton(QMessageBox::Yes);
        no = box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("はい"));
        no->setText(QStringLiteral("いいえ"));
        box.setDefaultButton(request.defaultButton == Answer::Yes ? yes : no);
        box.setEscapeButton(no);
    } else if (request.buttons == MessageButtons::OkCancel) {
        ok = box.addButton(QMessageBox::Ok);
        cancel = box.addButton(QMessageBox::Cancel);
        ok->setText(QStringLiteral("OK"));
        cancel->setText(QStringLiteral("キャンセル"));
        box.setDefaultButton(request.defaultButton == Answer::Cancel ? cancel : ok);
        box.setEscapeButton(cancel);
    } else {
        ok = box.addButton(QMessageBox::Ok);
        ok->setText(QStringLiteral("OK"));
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }

    box.exec();

    const QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yes) return Answer::Yes;
    if (clicked && clicked == no) return Answer::No;
    if (clicked && clicked == ok) return Answer::Ok;
    if (clicked && clicked == cancel) return Answer::Cancel;
    return EscapeAnswer(request);
}

Answer ScriptedPresenter::Present(const MessageBoxContent& box) {
    shown_.append(box);
    if (box.buttons == MessageButtons::Ok) return Answer::Ok;
    if (answers_.empty()) return box.defaultButton;
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace ui
