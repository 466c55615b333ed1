#pragma once
// What the master-screen tests share: the start-up over a fresh data folder
// (the main menu loaded), reads of the data file, and real keys and clicks
// into the screens' grids.

#include <QAbstractItemView>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include "core/MainMenu.h"
#include "masters/FrmKamoku.h"
#include "masters/FrmKanjoKamoku.h"
#include "masters/IoMaster.h"
#include "tests/core/ScreenFixture.h"

namespace test {

class MastersTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")).Show();
    }
    template <class T>
    T& Open(const QString& name) {
        T& form = ui::Forms::Get<T>(name);
        form.Show();
        return form;
    }
    void Press(QAbstractButton& button, ui::Answer answer) {
        boxes_.QueueAnswer(answer);
        QTest::mouseClick(&button, Qt::LeftButton);
    }
    void PressKey(QWidget* focused, Qt::Key key, ui::Answer answer) {
        boxes_.QueueAnswer(answer);
        QTest::keyClick(focused, key);
    }

    // The rows of a select on the data file (or another), fields joined by
    // "/", null as "-".
    QStringList Rows(const QString& sql, const QString& file = QString()) {
        db::Database d;
        d.Open(file.isEmpty() ? DataFile() : file);
        QStringList rows;
        for (db::Recordset rs = d.OpenRecordset(sql); !rs.IsEOF(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i) fields << Shown(rs.Value(i));
            rows << fields.join(u'/');
        }
        return rows;
    }
    // One column of a grid's first rows.
    static QStringList Cells(const ui::DataGrid& grid, int col, int count = 1 << 30) {
        QStringList cells;
        for (int r = 0; r < grid.RowCount() && r < count; ++r) cells << Shown(grid.CellValue(r, col));
        return cells;
    }
    static QString Shown(const QVariant& v) {
        if (v.isNull()) return QStringLiteral("-");
        return v.typeId() == QMetaType::Bool ? QString::number(int(v.toBool())) : v.toString();
    }
    QStringList Texts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }

    // ---- keys and clicks
    static QWidget* KeyTarget(ui::DataGrid& grid) {
        if (grid.IsEditing()) return grid.View()->viewport()->findChild<QLineEdit*>();
        return grid.View();
    }
    static void Key(ui::DataGrid& grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(grid), key, mods);
    }
    // ASCII as keys; anything else as text committed by the input method.
    static void Type(ui::DataGrid& grid, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(KeyTarget(grid), QString(c));
                continue;
            }
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(KeyTarget(grid), &commit);
        }
    }
    static void Click(ui::DataGrid& grid, int row, int col) {
        QAbstractItemView* view = grid.View();
        view->scrollTo(view->model()->index(row, col));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(view->model()->index(row, col)).center());
    }
    static void GoTo(ui::DataGrid& grid, int row, int col) { grid.SetRow(row), grid.SetCol(col); }
    // The cursor as row * 10 + column.
    static int At(const ui::DataGrid& grid) { return grid.Row() * 10 + grid.Col(); }
    // Opens the current cell's drop-down list and clicks one of its rows.
    static void PickFromList(ui::DataGrid& grid, int listRow) {
        Key(grid, Qt::Key_Down, Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        auto* view = popup ? popup->findChild<QTableView*>() : nullptr;
        ASSERT_TRUE(view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(view->model()->index(listRow, 0)).center());
    }
    // Clicks the named buttons of the modal window that the next call brings up.
    static void WhenModal(const QStringList& buttons) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, buttons, tries = 0]() mutable {
            QWidget* window = QApplication::activeModalWidget();
            if (!window && ++tries < 500) return;
            for (const QString& name : buttons)
                if (auto* b = window ? window->findChild<QAbstractButton*>(name) : nullptr) QTest::mouseClick(b, Qt::LeftButton);
            poll->stop();
            poll->deleteLater();
        });
        poll->start(10);
    }
};

}  // namespace test
