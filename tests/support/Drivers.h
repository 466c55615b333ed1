#pragma once
// Drivers that work a screen as its user does, by real key and mouse events:
// typing (ASCII as keys, Japanese as the input method commits it), a grid's
// keys, clicks and drop-down lists, and the modal windows (lookups, dialogs)
// that a button brings up.
//
// How a new screen's test uses them, together with the screen fixture
// (tests/support/ScreenFixture.h: a fresh data folder, a pinned today,
// scripted message boxes, a clean program state after each test):
//
//   class FrmKeihiListTest : public test::ScreenTest {};
//
//   TEST_F(FrmKeihiListTest, TickedLinesAreDeletedAfterTheQuestion) {
//       ExecData("insert into 取引明細 ...");                       // the data the test needs
//       ui::Forms::Get<core::MainMenu>("MainMenu").Show();          // the start-up opens both files
//       auto& f = ui::Forms::Get<lists::FrmKeihiList>("FrmKeihiList");
//       f.Show();
//       test::GridDriver grid(f.Grid経費一覧);
//       grid.Click(0, 0);                                            // ticks the first row
//       boxes_.QueueAnswer(ui::Answer::Yes);                         // the answer to the question
//       QTest::mouseClick(&f.cmd行削除, Qt::LeftButton);
//       EXPECT_EQ(boxes_.Shown()[0].text, "指定されたデータ を削除します。よろしいですか");
//   }
//
// A lookup or a dialog that the click brings up is answered by steps set up
// just before the click: test::WhenModal([](QWidget* w) { test::ClickNamed(w, "cmd閉じる"); });

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/ui/Grid.h"

namespace test {

// ---------------------------------------------------------------- typing

// Types text into whatever `target` gives at each character (a grid's target
// changes once its editor opens): ASCII by keys, anything else as text the
// input method commits.
inline void TypeKeys(const std::function<QWidget*()>& target, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(target(), QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(target(), &commit);
        }
    }
}

// Types into a field of a screen (a combo's text, a text or number box)
// where a user's keys go: the edit a wrapper hands the focus to, or a combo's
// own text.
inline void TypeInto(QWidget* field, const QString& text) {
    while (QWidget* proxy = field->focusProxy()) field = proxy;
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) field = combo->lineEdit();
    field->setFocus();
    TypeKeys([field] { return field; }, text);
}

// ---------------------------------------------------------------- grids

// One grid of a screen, worked by keys and clicks.
class GridDriver {
public:
    explicit GridDriver(ui::DataGrid& grid) : grid_(grid) {}

    // Where keys go now: the open cell editor, else the grid's view.
    QWidget* KeyTarget() const {
        if (grid_.IsEditing()) return grid_.View()->viewport()->findChild<QLineEdit*>();
        return grid_.View();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        QTest::keyClick(KeyTarget(), key, mods);
    }
    void Type(const QString& text) const {
        TypeKeys([this] { return KeyTarget(); }, text);
    }
    // Types into the current cell and presses Enter.
    void Enter(const QString& text) const {
        Type(text);
        Key(Qt::Key_Return);
    }
    // A click on a cell (scrolled into view first), into its editor when one is open, as a user's click.
    void Click(int row, int col) const {
        QAbstractItemView* view = grid_.View();
        view->scrollTo(view->model()->index(row, col));
        const QPoint at = CellCenter(row, col);
        QWidget* target = view->viewport()->childAt(at) ? view->viewport()->childAt(at) : view->viewport();
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(view->viewport(), at));
    }
    QPoint CellCenter(int row, int col) const {
        return grid_.View()->visualRect(grid_.View()->model()->index(row, col)).center();
    }
    // Makes a cell current by code.
    void GoTo(int row, int col) const {
        EXPECT_TRUE(grid_.SetRow(row)) << "row " << row;
        EXPECT_TRUE(grid_.SetCol(col)) << "column " << col;
    }
    // The cursor as row * 10 + column.
    int At() const { return grid_.Row() * 10 + grid_.Col(); }
    // Opens the current cell's drop-down list and clicks one of its rows.
    void PickFromList(int listRow) const {
        Key(Qt::Key_Down, Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        auto* view = popup ? popup->findChild<QTableView*>() : nullptr;
        ASSERT_TRUE(view) << "no drop-down list opened";
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(view->model()->index(listRow, 0)).center());
    }

private:
    ui::DataGrid& grid_;
};

// ---------------------------------------------------------------- modal windows

// Runs steps on the modal window once it is up; call it just before the call
// that shows the window. A window the steps leave open is closed a few
// seconds later with a failure, so that a broken test cannot hang; so is a
// window that never comes up.
inline void WhenModal(std::function<void(QWidget*)> steps) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, steps, tries = 0]() mutable {
        QPointer<QWidget> w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) {
            if (++tries < 500) return;
            ADD_FAILURE() << "no modal window came up";
            poll->stop();
            poll->deleteLater();
            return;
        }
        poll->deleteLater();
        poll->stop();
        steps(w);
        QTimer::singleShot(5000, [w] {
            if (!w || !w->isVisible()) return;
            ADD_FAILURE() << "the modal window was left open";
            w->close();
        });
    });
    poll->start(10);
}

// A button of a window, by its object name (a lookup window may live in a
// library of its own, so tests reach its controls through their names).
inline void ClickNamed(QWidget* window, const QString& name) {
    auto* b = window->findChild<QAbstractButton*>(name);
    ASSERT_TRUE(b) << name.toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
}

// Clicks the named buttons, in order, of the modal window that the next call
// brings up.
inline void WhenModalClick(const QStringList& buttons) {
    WhenModal([buttons](QWidget* window) {
        for (const QString& name : buttons) ClickNamed(window, name);
    });
}

}  // namespace test
