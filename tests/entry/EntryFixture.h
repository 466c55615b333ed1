#pragma once
// The entry screen opened from the main menu over a temporary data folder,
// with helpers that drive its grid by real keys and clicks and read what
// reached the work table and the data file.

#include <QApplication>
#include <functional>

#include "core/MainMenu.h"
#include "core/Screens.h"
#include "entry/EntryRules.h"
#include "entry/FrmInput.h"
#include "platform/db/Quote.h"
#include "tests/support/Drivers.h"
#include "tests/support/ScreenFixture.h"

namespace test {

class EntryTest : public ScreenTest {
protected:
    using F = entry::FrmInput;
    using Answer = ui::Answer;

    void SetUp() override {
        ScreenTest::SetUp();
        core::RegisterScreen(QStringLiteral("FrmInput"),
                             []() -> ui::Form& { return ui::Forms::Get<F>(QStringLiteral("FrmInput")); });
        // A class registry of the test's own: empty unless a test registers
        // the lookup libraries.
        qputenv("MURV_COM_REGISTRY", QFile::encodeName(registry_.filePath(QStringLiteral("classes.reg"))));
    }
    void TearDown() override {
        qunsetenv("MURV_COM_REGISTRY");
        ScreenTest::TearDown();
    }

    // Sets the company row before the menu loads it.
    void SetCompany(const QString& assignments) { ExecData(QStringLiteral("update 自社情報 set ") + assignments); }

    // The menu, then its 経費入力 button.
    F& Open() {
        auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
        menu.Show();
        QTest::mouseClick(&menu.cmd経費入力, Qt::LeftButton);
        F* screen = qobject_cast<F*>(ui::Forms::Find(QStringLiteral("FrmInput")));
        EXPECT_NE(screen, nullptr);
        // The window manager makes the window just shown the active one.
        QApplication::setActiveWindow(screen);
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen, 1000));
        return *screen;
    }

    // ---- the grid (tests/support/Drivers.h)
    ui::DataGrid& Grid(F& f) { return f.Grid入力明細; }
    GridDriver Driver(F& f) { return GridDriver(Grid(f)); }
    QWidget* KeyTarget(F& f) { return Driver(f).KeyTarget(); }
    void Key(F& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { Driver(f).Key(key, mods); }
    static void TypeKeys(const std::function<QWidget*()>& target, const QString& text) { test::TypeKeys(target, text); }
    void Type(F& f, const QString& text) { Driver(f).Type(text); }
    static void TypeInto(QWidget* field, const QString& text) { test::TypeInto(field, text); }
    void Enter(F& f, const QString& text) { Driver(f).Enter(text); }
    void GoTo(F& f, int row, int col) { Driver(f).GoTo(row, col); }
    QVariant CellAt(F& f, int row, int col) { return Grid(f).CellValue(row, col); }
    void ClickCell(F& f, int row, int col) { Driver(f).Click(row, col); }
    // Writes cells of a row directly (as typed and committed earlier).
    void Put(F& f, int row, int col, const QVariant& value) {
        ASSERT_TRUE(Grid(f).SetRow(row));
        ASSERT_TRUE(Grid(f).Columns(col).SetValue(value));
    }
    // A complete typed row through the keyboard: month-day, partner, amount, item.
    void TypeLine(F& f, int row, const QString& mmdd, const QString& partner, const QString& amount,
                  const QString& item) {
        GoTo(f, row, F::kCol月日);
        Enter(f, mmdd);
        Enter(f, partner);
        Type(f, amount);
        Key(f, Qt::Key_Return);  // to the item (empty) or the next row
        if (Grid(f).Col() == F::kCol科目) Enter(f, item);
    }

    // ---- the data file
    void AddLine(int lineNo, const QString& date, const QString& partner, const QString& item, double amount,
                 const QVariant& tax = QVariant(), bool exempt = false) {
        ExecData(QStringLiteral("insert into 取引明細 (行番号, 日付, 曜日, 取引先名, 科目, 金額, 税額, 非課税) "
                                "values (%1, #%2#, '%3', '%4', '%5', %6, %7, %8)")
                     .arg(lineNo)
                     .arg(date, entry::WeekdayChar(QDate::fromString(date, QStringLiteral("yyyy/MM/dd"))),
                          db::SqlEscape(partner), db::SqlEscape(item))
                     .arg(amount)
                     .arg(tax.isNull() ? QStringLiteral("null") : tax.toString(),
                          exempt ? QStringLiteral("True") : QStringLiteral("False")));
    }
    struct Line {
        qint64 no;
        QDate date;
        QString partner;
        QString item;
        double amount;
        QVariant tax;
        bool exempt;
        QString weekday;
    };
    // The stored lines in date, number and partner order.
    std::vector<Line> Lines(const QString& where = QString()) {
        db::Database d;
        EXPECT_TRUE(d.Open(DataFile()));
        db::Recordset rs = d.OpenRecordset(QStringLiteral("select * from 取引明細 ") + where +
                                           QStringLiteral(" order by 日付, 行番号, 取引先名"));
        std::vector<Line> out;
        for (; !rs.IsEOF(); rs.MoveNext())
            out.push_back({rs.Value(QStringLiteral("行番号")).toLongLong(), rs.Value(QStringLiteral("日付")).toDate(),
                           rs.Value(QStringLiteral("取引先名")).toString(), rs.Value(QStringLiteral("科目")).toString(),
                           rs.Value(QStringLiteral("金額")).toDouble(), rs.Value(QStringLiteral("税額")),
                           rs.Value(QStringLiteral("非課税")).toBool(), rs.Value(QStringLiteral("曜日")).toString()});
        return out;
    }
    // One value of the data file (the first row of a select), or "<none>".
    QVariant DataValue(const QString& sql) {
        db::Database d;
        EXPECT_TRUE(d.Open(DataFile()));
        db::Recordset rs = d.OpenRecordset(sql);
        return rs.IsEOF() ? QVariant(QStringLiteral("<none>")) : rs.Value(0);
    }
    QVariant WorkValue(const QString& sql) {
        db::Database d;
        EXPECT_TRUE(d.Open(WorkFile()));
        db::Recordset rs = d.OpenRecordset(sql);
        return rs.IsEOF() ? QVariant(QStringLiteral("<none>")) : rs.Value(0);
    }
    QStringList Texts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }

    QTemporaryDir registry_;
};

}  // namespace test
