#pragma once
// Containers and indicators: panels and frames (pop-up panels shown and
// hidden by visibility), the tab control and the progress bar.

#include <QFrame>
#include <QProgressBar>
#include <QTabWidget>

#include "platform/ui/Control.h"

namespace ui {

// A 3-D container. Controls made with the panel as parent move, show and
// hide with it. A pop-up panel comes up above the other controls of its
// parent whenever it is shown.
class Panel : public Control<QFrame> {
    Q_OBJECT

public:
    enum class Style { Raised, Sunken, Flat };

    explicit Panel(QWidget* parent = nullptr, Style style = Style::Raised);

    void SetStyle(Style style);
    bool PopUp() const { return popUp_; }
    void SetPopUp(bool popUp);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool popUp_ = false;
};

// A frame that groups controls is the same container.
using Frame = Panel;

// Tabs with captions, each a page on which controls are placed in twips.
class TabControl : public Control<QTabWidget> {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);

    // Adds a tab and returns its page, the parent for the tab's controls.
    QWidget* AddTab(const QString& caption);
    QWidget* Page(int index) const { return widget(index); }
    int Tabs() const { return count(); }
    // The current tab, from 0.
    int Tab() const { return currentIndex(); }
    void SetTab(int index) { setCurrentIndex(index); }
    QString TabCaption(int index) const { return tabText(index); }
    void SetTabCaption(int index, const QString& caption) { setTabText(index, caption); }
};

// A progress bar from 0 to 100, without text.
class ProgressBar : public Control<QProgressBar> {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    int Value() const { return value(); }
    // Values outside 0-100 are cut to the nearest end.
    void SetValue(int percent) { setValue(qBound(0, percent, 100)); }
};

}  // namespace ui
