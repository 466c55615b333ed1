#include "platform/ui/BusyPanel.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/ui/AppLook.h"

namespace ui {

BusyPanel::BusyPanel(const QString& text, QWidget* parent) : Panel(parent), text_(text, this) {
    SetPopUp(true);
    text_.SetAlignment(Qt::AlignCenter);
    QFont font = DefaultFont();
    font.setPointSize(11);
    text_.setFont(font);
    SetVisible(false);
}

void BusyPanel::Begin() {
    SetVisible(true);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BusyPanel::resizeEvent(QResizeEvent* event) {
    Panel::resizeEvent(event);
    const int margin = 4;
    text_.setGeometry(rect().adjusted(margin, margin, -margin, -margin));
}

}  // namespace ui
