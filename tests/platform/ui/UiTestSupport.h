#pragma once
// What the tests of the forms-and-controls layer share: the application, a
// clean form registry after each test, and helpers that activate windows and
// type text the way the platform delivers it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

#include "platform/ui/Form.h"
#include "tests/QtPrint.h"

#include <ostream>

namespace ui_test {

// The test program's main makes the one QApplication of the run.
inline QApplication& App() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) qFatal("the test program's main must make a QApplication");
    return *app;
}

// Makes the window the active one, as the window manager does when the
// user clicks it, and waits until Qt has delivered the activation.
inline bool Activate(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window, 1000);
}

// Text committed by the input method, as Japanese (and full-width) text
// arrives in a field.
inline void CommitText(QWidget* widget, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(widget, &commit);
}

// Deletes what Unload left for the event loop.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class UiTest : public ::testing::Test {
protected:
    UiTest() { App(); }  // before the fixtures' own widgets are made
    void TearDown() override {
        ui::Forms::UnloadAll();
        FlushDeletes();
    }
};

}  // namespace ui_test
