#pragma once
// What the master-screen tests share: the start-up over a fresh data folder
// (the main menu loaded), reads of the data file, and real keys and clicks
// into the screens' grids.

#include <QApplication>

#include "core/MainMenu.h"
#include "masters/FrmKamoku.h"
#include "masters/FrmKanjoKamoku.h"
#include "masters/IoMaster.h"
#include "tests/support/Drivers.h"
#include "tests/support/ScreenFixture.h"

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
        EXPECT_TRUE(d.Open(file.isEmpty() ? DataFile() : file));
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

    // ---- keys and clicks (tests/support/Drivers.h)
    static QWidget* KeyTarget(ui::DataGrid& grid) { return GridDriver(grid).KeyTarget(); }
    static void Key(ui::DataGrid& grid, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        GridDriver(grid).Key(key, mods);
    }
    static void Type(ui::DataGrid& grid, const QString& text) { GridDriver(grid).Type(text); }
    static void Click(ui::DataGrid& grid, int row, int col) { GridDriver(grid).Click(row, col); }
    static void GoTo(ui::DataGrid& grid, int row, int col) { grid.SetRow(row), grid.SetCol(col); }
    static int At(const ui::DataGrid& grid) { return grid.Row() * 10 + grid.Col(); }
    static void PickFromList(ui::DataGrid& grid, int listRow) { GridDriver(grid).PickFromList(listRow); }
    // Clicks the named buttons of the modal window that the next call brings up.
    static void WhenModal(const QStringList& buttons) { WhenModalClick(buttons); }
};

}  // namespace test
