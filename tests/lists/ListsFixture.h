#pragma once
// The list screens opened from the main menu over a temporary data folder
// (in a folder whose name holds a quote), with stored lines put straight
// into the data file, and helpers that press buttons and keys, type into
// fields and read the work tables.

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableView>

#include "core/MainMenu.h"
#include "core/Screens.h"
#include "lists/ListScreens.h"
#include "platform/db/Quote.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Grid.h"
#include "tests/support/ScreenFixture.h"

namespace test {

class ListsTest : public ScreenTest {
protected:
    using Answer = ui::Answer;

    void SetUp() override {
        ScreenTest::SetUp();
        // Every statement names the data file: its path holds a quote.
        QDir(folder_.path()).mkdir(QStringLiteral("o'hara"));
        program_ = QDir(folder_.path()).filePath(QStringLiteral("o'hara"));
        QString error;
        ASSERT_TRUE(core::MakeDataFolder(QDir(program_).filePath(QStringLiteral("data")), nullptr, &error));
        core::SetProgramFolder(program_);
        lists::RegisterListScreens();
        SetCompany(QStringLiteral("開始日 = #2026/04/01#, 終了日 = #2027/03/31#"));
    }
    void TearDown() override {
        ScreenTest::TearDown();
        for (const char16_t* name : {u"FrmKeihiList", u"FrmKeihiJuni", u"FrmMonthList"})
            core::UnregisterScreen(QString::fromUtf16(name));
    }

    QString DataFile() const { return QDir(program_).filePath(QStringLiteral("data/") + core::kDataFileName); }
    QString WorkFile() const { return QDir(program_).filePath(QStringLiteral("data/") + core::kWorkFileName); }
    void ExecData(const QString& sql) {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(d.Execute(sql)) << d.LastError().toStdString();
    }
    // Sets the company row before the menu loads it.
    void SetCompany(const QString& assignments) { ExecData(QStringLiteral("update 自社情報 set ") + assignments); }

    // A stored line; a null item or tax is stored as Null.
    void AddLine(int lineNo, const QString& date, const QString& partner, const QVariant& item, double amount,
                 const QVariant& tax = QVariant()) {
        const auto text = [](const QVariant& v) {
            return v.isNull() ? QStringLiteral("null") : u'\'' + db::SqlEscape(v.toString()) + u'\'';
        };
        ExecData(
            QStringLiteral(
                "insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 税額) values (%1, #%2#, %3, %4, %5, %6)")
                .arg(lineNo)
                .arg(date, text(partner), text(item))
                .arg(QString::number(amount, 'f', 0))
                .arg(tax.isNull() ? QStringLiteral("null") : tax.toString()));
    }

    // The menu, then one of its buttons.
    template <class T>
    T& OpenFromMenu(ui::CommandButton core::MainMenu::*button, const QString& name) {
        auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        QTest::mouseClick(&(menu.*button), Qt::LeftButton);
        T* screen = qobject_cast<T*>(ui::Forms::Find(name));
        EXPECT_NE(screen, nullptr);
        QApplication::setActiveWindow(screen);
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen, 1000));
        return *screen;
    }

    void Click(QAbstractButton& button) { QTest::mouseClick(&button, Qt::LeftButton); }
    void Press(QAbstractButton& button, Answer answer) {
        boxes_.QueueAnswer(answer);
        Click(button);
    }
    // A key to the control that has the focus (the form previews it).
    static void Key(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key);
    }
    // Types into a field (a combo's text, a date box), then leaves it with Tab.
    static void TypeInto(QWidget* field, const QString& text) {
        if (auto* combo = qobject_cast<QComboBox*>(field)) field = combo->lineEdit();
        field->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClicks(field, QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(field, &commit);
            }
        }
        QTest::keyClick(field, Qt::Key_Tab);
    }
    // Picks an item of a list-only combo with the arrow keys.
    static void Choose(ui::ComboBox& combo, const QString& item) {
        combo.setFocus();
        const int target = combo.findText(item);
        ASSERT_GE(target, 0) << item.toStdString();
        while (combo.currentIndex() > target) QTest::keyClick(&combo, Qt::Key_Up);
        while (combo.currentIndex() < target) QTest::keyClick(&combo, Qt::Key_Down);
    }
    // Keys into the grid's current cell (into its editor once it is open).
    static void TypeInGrid(ui::DataGrid& grid, const QString& text, Qt::Key last = Qt::Key_Return) {
        const auto target = [&grid]() -> QWidget* {
            if (grid.IsEditing())
                if (auto* editor = grid.View()->viewport()->findChild<QLineEdit*>()) return editor;
            return grid.View();
        };
        for (const QChar c : text) QTest::keyClicks(target(), QString(c));
        QTest::keyClick(target(), last);
    }
    static void ClickCell(ui::DataGrid& grid, int row, int col) {
        auto* view = grid.View();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(view->model()->index(row, col)).center());
    }

    // The rows of a select on a file, fields joined by "/", Null as "-",
    // numbers without decimals, dates as yyyy/mm/dd.
    static QString Shown(const QVariant& v) {
        if (v.isNull()) return QStringLiteral("-");
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        if (v.typeId() == QMetaType::Double) return QString::number(v.toDouble(), 'f', 0);
        return v.toString();
    }
    QStringList Rows(const QString& sql, bool work = true) {
        db::Database d;
        EXPECT_TRUE(d.Open(work ? WorkFile() : DataFile()));
        QStringList rows;
        for (db::Recordset rs = d.OpenRecordset(sql); !rs.IsEOF(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i) fields << Shown(rs.Value(i));
            rows << fields.join(u'/');
        }
        return rows;
    }
    static QString Date(const ui::DateBox& box) { return box.Date().toString(QStringLiteral("yyyy/MM/dd")); }
    static QStringList Column(const ui::DataGrid& grid, int col) {
        QStringList cells;
        for (int r = 0; r < grid.RowCount(); ++r) cells << Shown(grid.CellValue(r, col));
        return cells;
    }
    QStringList Texts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }

    QString program_;
};

}  // namespace test
