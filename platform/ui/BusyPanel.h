#pragma once
// A panel that says the window is busy ("検索中です･･･"), shown while a long
// step runs on the screen's thread:
//
//   Msg検索中.Begin();   // shown and painted at once; the user's input waits
//   ... the copy ...
//   Msg検索中.End();
//
// It is a pop-up panel: it comes up over the window's other controls. Its
// text fills it, centred, a little larger than the window's font.

#include "platform/ui/Containers.h"
#include "platform/ui/TextControls.h"

namespace ui {

class BusyPanel : public Panel {
    Q_OBJECT

public:
    BusyPanel(const QString& text, QWidget* parent);

    // Shows the panel and paints it before returning: pending events are
    // delivered, except the user's input, which waits until the step is done.
    void Begin();
    void End() { SetVisible(false); }

    Label& Text() { return text_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Label text_;
};

}  // namespace ui
