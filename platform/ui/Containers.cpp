#include "platform/ui/Containers.h"

namespace ui {

// ---- Panel

Panel::Panel(QWidget* parent, Style style) : Control<QFrame>(parent) {
    setLineWidth(1);
    SetStyle(style);
}

void Panel::SetStyle(Style style) {
    switch (style) {
    case Style::Raised: setFrameStyle(QFrame::Panel | QFrame::Raised); break;
    case Style::Sunken: setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
    case Style::Flat: setFrameStyle(QFrame::NoFrame); break;
    }
}

void Panel::SetPopUp(bool popUp) {
    popUp_ = popUp;
    if (popUp_ && !isHidden()) raise();
}

void Panel::showEvent(QShowEvent* event) {
    Control<QFrame>::showEvent(event);
    if (popUp_) raise();
}

// ---- TabControl

TabControl::TabControl(QWidget* parent) : Control<QTabWidget>(parent) {}

QWidget* TabControl::AddTab(const QString& caption) {
    auto* page = new QWidget;
    addTab(page, caption);
    return page;
}

// ---- ProgressBar

ProgressBar::ProgressBar(QWidget* parent) : Control<QProgressBar>(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

}  // namespace ui
