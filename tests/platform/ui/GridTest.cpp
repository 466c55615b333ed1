// The data grid over a temporary work table, driven with real key and mouse
// events: the order of its events, what reaches the table and when, and the
// cursor rules the screens rely on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "platform/db/Database.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Grid.h"
#include "platform/ui/GridDropDown.h"
#include "platform/ui/Twips.h"
#include "tests/QtPrint.h"
#include "tests/support/Drivers.h"

namespace {

void EnsureApp() {
    if (!qApp) {
        static int argc = 1;
        static char name[] = "test_platform_ui";
        static char* argv[] = {name, nullptr};
        static QApplication app(argc, argv);
    }
}

// A work database with an entry table of `rows` rows (lno 1..rows) and a
// partner list for the drop-down. `db` is a connection of its own, as a
// screen's statements would use.
struct WorkFile {
    QTemporaryDir dir;
    QString path;
    db::Database db;

    explicit WorkFile(int rows) {
        path = dir.filePath(QStringLiteral("work.mdb"));
        EXPECT_TRUE(db.Create(path));
        EXPECT_TRUE(db.ExecuteNative(QStringLiteral(
            "CREATE TABLE w明細 (lno LONG, チェック YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0, 日付 DATE, "
            "取引先名 TEXT(255), 金額 DOUBLE, 科目 TEXT(255), 月日 TEXT(255), "
            "非課税 YESNO NOT NULL ON CONFLICT REPLACE DEFAULT 0, DD日付 DATE)")));
        EXPECT_TRUE(
            db.ExecuteNative(QStringLiteral("CREATE TABLE w取引先参照 (取引先名 TEXT(255), ふりがな TEXT(255))")));
        EXPECT_TRUE(
            db.ExecuteNative(QStringLiteral("INSERT INTO w明細 (lno) WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL "
                                            "SELECT x + 1 FROM n WHERE x < %1) SELECT x FROM n")
                                 .arg(rows)));
        EXPECT_TRUE(
            db.Execute(QStringLiteral("insert into w取引先参照 (取引先名, ふりがな) values ('亀山商店', 'かめやま')")));
        EXPECT_TRUE(
            db.Execute(QStringLiteral("insert into w取引先参照 (取引先名, ふりがな) values ('佐藤電機', 'さとう')")));
    }

    // What another connection reads from the table now.
    QVariant Stored(const QString& field, int lno) {
        db::Recordset rs = db.OpenRecordset(QStringLiteral("select %1 from w明細 where lno = %2").arg(field).arg(lno));
        return rs.IsEOF() ? QVariant(QStringLiteral("<no row>")) : rs.Value(0);
    }
};

// Columns as the grid shows them.
enum Col { kCheck, kLno, kDate, kPartner, kAmount, kItem, kMonthDay, kExempt, kPicker };

// A window that notes the keys that reach it through the grid.
class Window : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override { Build(5); }

    void Build(int rows) {
        EnsureApp();
        file = std::make_unique<WorkFile>(rows);
        window = std::make_unique<Window>();
        auto* layout = new QVBoxLayout(window.get());
        grid = new ui::DataGrid(window.get());
        button = new QPushButton(QStringLiteral("登録"), window.get());
        layout->addWidget(grid);
        layout->addWidget(button);

        data.SetDatabaseName(file->path);
        data.SetRecordSource(QStringLiteral("w明細"));
        grid->SetDataSource(&data);
        grid->SetColumns({QStringLiteral("チェック"), QStringLiteral("lno"), QStringLiteral("日付"),
                          QStringLiteral("取引先名"), QStringLiteral("金額"), QStringLiteral("科目"),
                          QStringLiteral("月日"), QStringLiteral("非課税"), QStringLiteral("DD日付")});
        grid->Columns(kCheck).SetCheckBox(true);
        grid->Columns(kCheck).SetWidth(340);
        grid->Columns(kLno).SetVisible(false);
        grid->Columns(kDate).SetVisible(false);
        grid->Columns(kAmount).SetNumberFormat(QStringLiteral("#,###"));
        grid->Columns(kAmount).SetAlignment(ui::ColumnAlignment::Right);
        grid->Columns(kExempt).SetCheckBox(true);
        grid->Columns(kPicker).SetButton(true);
        grid->Columns(kPicker).SetWidth(260);

        partners.SetDatabaseName(file->path);
        partners.SetRecordSource(QStringLiteral("w取引先参照"));
        list.SetDataSource(&partners);
        list.SetListFields({QStringLiteral("取引先名"), QStringLiteral("ふりがな")});
        grid->Columns(kPartner).SetDropDown(&list);

        ASSERT_TRUE(data.Refresh()) << data.LastError().toStdString();
        ASSERT_TRUE(partners.Refresh());
        window->resize(1000, 400);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

        grid->onKeyDown = [this](int& code, int&) { Note(QStringLiteral("KeyDown %1").arg(code)); };
        grid->onKeyPress = [this](int& ascii) { Note(QStringLiteral("KeyPress %1").arg(ascii)); };
        grid->onBeforeColUpdate = [this](int col, const QVariant&, int& cancel) {
            Note(QStringLiteral("Before %1").arg(col));
            if (beforeUpdate) beforeUpdate(col, cancel);
        };
        grid->onAfterColUpdate = [this](int col) {
            Note(QStringLiteral("After %1").arg(col));
            if (afterUpdate) afterUpdate(col);
        };
        grid->onRowColChange = [this](const QVariant& row, int col) {
            Note(QStringLiteral("RowColChange %1,%2")
                     .arg(row.isNull() ? QStringLiteral("Null") : row.toString())
                     .arg(col));
        };
        grid->onDropDownChoice = [this](int col) { Note(QStringLiteral("Choice %1").arg(col)); };
        grid->onButtonClick = [this](int col) { Note(QStringLiteral("ButtonClick %1").arg(col)); };
        grid->onDblClick = [this] { Note(QStringLiteral("DblClick")); };
        QObject::connect(button, &QPushButton::clicked, [this] {
            ui::DataGrid::CommitAllPendingEdits(button);
            Note(QStringLiteral("Button"));
        });
    }

    void Note(const QString& entry) { log.push_back(entry.toStdString()); }
    // The log from now on, without the keys of the typing that led up to it.
    void ClearLog() { log.clear(); }

    QLineEdit* Editor() const { return grid->View()->viewport()->findChild<QLineEdit*>(); }
    // Keys, typing and clicks as the user gives them (tests/support/Drivers.h).
    test::GridDriver Driver() const { return test::GridDriver(*grid); }
    QWidget* KeyTarget() const { return Driver().KeyTarget(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { Driver().Key(key, mods); }
    void Type(const QString& text) { Driver().Type(text); }
    QPoint CellCenter(int row, int col) const { return Driver().CellCenter(row, col); }
    void Click(int row, int col) { Driver().Click(row, col); }
    // Makes (row, col) current by code and forgets what that logged.
    void GoTo(int row, int col) {
        ASSERT_TRUE(grid->SetRow(row));
        ASSERT_TRUE(grid->SetCol(col));
        ClearLog();
    }

    using Log = std::vector<std::string>;

    std::unique_ptr<WorkFile> file;
    std::unique_ptr<Window> window;
    ui::DataControl data;
    ui::DataControl partners;
    ui::GridDropDown list;
    ui::DataGrid* grid = nullptr;
    QPushButton* button = nullptr;
    Log log;
    std::function<void(int col, int& cancel)> beforeUpdate;
    std::function<void(int col)> afterUpdate;
};

// ---------------------------------------------------------------- event order

TEST_F(GridTest, TypingThenEnterCommitsBeforeMovingRight) {
    GoTo(0, kAmount);
    QVariant storedDuringAfter, cellDuringAfter;
    afterUpdate = [&](int) {
        storedDuringAfter = file->Stored(QStringLiteral("金額"), 1);
        cellDuringAfter = grid->Columns(kAmount).Value();
    };

    Type(QStringLiteral("15"));
    EXPECT_EQ(log, (Log{"KeyDown 49", "KeyPress 49", "KeyDown 53", "KeyPress 53"}));
    EXPECT_TRUE(grid->HasPendingEdit());
    EXPECT_TRUE(file->Stored(QStringLiteral("金額"), 1).isNull()) << "nothing is stored while the user types";

    ClearLog();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyPress 13", "Before 4", "After 4", "RowColChange 0,4"}));
    EXPECT_EQ(storedDuringAfter, QVariant(15.0)) << "stored before the after-update event";
    EXPECT_EQ(cellDuringAfter.typeId(), QMetaType::Double) << "the handler reads the stored number, not the typed text";
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(grid->Col(), kItem);
    EXPECT_FALSE(grid->IsEditing());
}

TEST_F(GridTest, TabArrowClickAndButtonEachCommitFirst) {
    GoTo(0, kPartner);
    Type(QStringLiteral("a"));
    ClearLog();
    Key(Qt::Key_Tab);
    EXPECT_EQ(log, (Log{"KeyDown 9", "KeyPress 9", "Before 3", "After 3", "RowColChange 0,3"}));
    EXPECT_EQ(grid->Col(), kAmount);

    Type(QStringLiteral("7"));
    ClearLog();
    Key(Qt::Key_Down);
    EXPECT_EQ(log, (Log{"KeyDown 40", "Before 4", "After 4", "RowColChange 0,4"}));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 1), QVariant(7.0));

    Type(QStringLiteral("8"));
    ClearLog();
    Click(3, kItem);
    EXPECT_EQ(log, (Log{"Before 4", "After 4", "RowColChange 1,4"}));
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(grid->Col(), kItem);
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 2), QVariant(8.0));

    Type(QStringLiteral("x"));
    ClearLog();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(log, (Log{"Before 5", "After 5", "Button"}));
    EXPECT_EQ(file->Stored(QStringLiteral("科目"), 4), QVariant(QStringLiteral("x")));
    EXPECT_EQ(grid->Col(), kItem) << "a command does not move the cursor";
}

TEST_F(GridTest, KeyDownRunsFirstAndCanTakeTheKeyAndMoveByCode) {
    // The entry screen's Enter: it consumes the key and moves the cursor itself.
    grid->onKeyDown = [this](int& code, int&) {
        Note(QStringLiteral("KeyDown %1").arg(code));
        if (code == ui::grid_keys::kReturn && grid->Col() == kMonthDay) {
            code = 0;
            grid->SetCol(kPartner);
        }
    };
    grid->Columns(kMonthDay).SetMaxLength(4);
    GoTo(0, kMonthDay);
    Type(QStringLiteral("03159"));
    ClearLog();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "Before 6", "After 6", "RowColChange 0,6"}));
    EXPECT_EQ(grid->Col(), kPartner);
    EXPECT_EQ(file->Stored(QStringLiteral("月日"), 1), QVariant(QStringLiteral("0315")));

    // A consumed key press drops the character.
    grid->onKeyPress = [](int& ascii) {
        if (ascii == 'q') ascii = 0;
    };
    Type(QStringLiteral("aqb"));
    EXPECT_EQ(grid->Columns(kPartner).Text(), QStringLiteral("ab"));
}

TEST_F(GridTest, CancelledBeforeUpdateKeepsCursorAndTheHandlersValue) {
    // The entry screen's month-day check: not four characters -> Null, cancel.
    beforeUpdate = [this](int col, int& cancel) {
        const QVariant v = grid->Columns(col).Value();
        if (col == kMonthDay && !v.isNull() && v.toString().size() != 4) {
            grid->Columns(col).SetValue(QVariant());
            cancel = 1;
        }
    };
    EXPECT_TRUE(file->db.Execute(QStringLiteral("update w明細 set 月日 = '0101' where lno = 1")));
    EXPECT_TRUE(data.Refresh());
    GoTo(0, kMonthDay);
    Key(Qt::Key_Delete);
    Type(QStringLiteral("315"));
    ClearLog();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyPress 13", "Before 6"}));
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(grid->Col(), kMonthDay);
    EXPECT_TRUE(grid->HasPendingEdit());
    EXPECT_TRUE(grid->Columns(kMonthDay).Value().isNull()) << "the cell as the handler left it";
    EXPECT_EQ(file->Stored(QStringLiteral("月日"), 1), QVariant(QStringLiteral("0101"))) << "nothing stored";

    // Leaving by a click or a commit before a command is refused the same way.
    Type(QStringLiteral("12"));
    ClearLog();
    Click(2, kItem);
    EXPECT_EQ(log, (Log{"Before 6"}));
    EXPECT_EQ(grid->Row(), 0);
    EXPECT_EQ(grid->Col(), kMonthDay);
    Type(QStringLiteral("1"));
    EXPECT_FALSE(grid->CommitPendingEdit());

    // The Null the handler left is accepted at the next try.
    ClearLog();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyPress 13", "Before 6", "After 6", "RowColChange 0,6"}));
    EXPECT_TRUE(file->Stored(QStringLiteral("月日"), 1).isNull());
}

TEST_F(GridTest, BeforeUpdateMayRewriteTheValueBeingCommitted) {
    beforeUpdate = [this](int col, int&) { grid->Columns(col).SetText(grid->Columns(col).Text().toUpper()); };
    GoTo(1, kItem);
    Type(QStringLiteral("abc"));
    Key(Qt::Key_Return);
    EXPECT_EQ(file->Stored(QStringLiteral("科目"), 2), QVariant(QStringLiteral("ABC")));
}

TEST_F(GridTest, CodeWritesAndMovesRaiseNoEditEvents) {
    GoTo(2, kPartner);
    EXPECT_TRUE(grid->Columns(kPartner).SetValue(QStringLiteral("取引先A")));
    EXPECT_TRUE(grid->Columns(kAmount).SetText(QStringLiteral("1,200")));
    EXPECT_TRUE(grid->Columns(kDate).SetValue(QDate(2005, 3, 15)));
    EXPECT_TRUE(grid->Columns(kItem).SetValue(QVariant()));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(file->Stored(QStringLiteral("取引先名"), 3), QVariant(QStringLiteral("取引先A")));
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 3), QVariant(1200.0));
    EXPECT_EQ(file->Stored(QStringLiteral("日付"), 3), QVariant(QDate(2005, 3, 15)));
    EXPECT_EQ(grid->Columns(kAmount).Text(), QStringLiteral("1,200"));
    EXPECT_FALSE(grid->Columns(kAmount).SetValue(QStringLiteral("abc"))) << "the field's conversion applies";

    // Code moves raise the row/column change only, after every change of cell.
    grid->SetCol(kAmount);
    grid->MoveNext();
    grid->SetCol(kAmount);
    EXPECT_EQ(log, (Log{"RowColChange 2,3", "RowColChange 2,4"}));

    // ... and commit the user's pending edit first.
    Type(QStringLiteral("9"));
    ClearLog();
    grid->MovePrevious();
    EXPECT_EQ(log, (Log{"Before 4", "After 4", "RowColChange 3,4"}));
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 4), QVariant(9.0));
}

// ---------------------------------------------------------------- values

TEST_F(GridTest, EmptiedCellIsNullAndZeroStaysZero) {
    GoTo(0, kAmount);
    ASSERT_TRUE(grid->Columns(kAmount).SetValue(1200));
    Key(Qt::Key_Delete);
    Key(Qt::Key_Return);
    EXPECT_TRUE(file->Stored(QStringLiteral("金額"), 1).isNull());

    GoTo(0, kAmount);
    Type(QStringLiteral("0"));
    Key(Qt::Key_Return);
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 1), QVariant(0.0));
    grid->SetCol(kAmount);
    EXPECT_EQ(grid->Columns(kAmount).Text(), QString()) << "\"#,###\" shows 0 as nothing";
    EXPECT_EQ(grid->Columns(kAmount).Value(), QVariant(0.0)) << "but the value is 0, not empty";

    // The editor starts from the value, so leaving it unchanged keeps 0.
    Click(0, kAmount);
    ASSERT_TRUE(grid->IsEditing());
    EXPECT_EQ(Editor()->text(), QStringLiteral("0"));
    Key(Qt::Key_Return);
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 1), QVariant(0.0));

    // Text fields too: an emptied name is Null, never "".
    GoTo(1, kItem);
    Type(QStringLiteral("misc"));
    Key(Qt::Key_Return);
    GoTo(1, kItem);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_TRUE(file->Stored(QStringLiteral("科目"), 2).isNull());

    // Text that the amount field cannot take stays in the cell, and so does the cursor.
    grid->onError = [this](int col, const QString&) { Note(QStringLiteral("Error %1").arg(col)); };
    GoTo(2, kAmount);
    Type(QStringLiteral("abc"));
    ClearLog();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyPress 13", "Before 4", "Error 4"}));
    EXPECT_EQ(grid->Col(), kAmount);
    EXPECT_TRUE(grid->HasPendingEdit());
    EXPECT_TRUE(file->Stored(QStringLiteral("金額"), 3).isNull());
}

TEST_F(GridTest, EscRestoresTheStoredValueWithoutEvents) {
    GoTo(0, kAmount);
    grid->Columns(kAmount).SetValue(100);
    Type(QStringLiteral("999"));
    ClearLog();
    Key(Qt::Key_Escape);
    EXPECT_EQ(log, (Log{"KeyDown 27", "KeyPress 27"}));
    EXPECT_FALSE(grid->HasPendingEdit());
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->Columns(kAmount).Value(), QVariant(100.0));
    EXPECT_EQ(file->Stored(QStringLiteral("金額"), 1), QVariant(100.0));

    // With nothing to cancel, Esc belongs to the form.
    window->keys.clear();
    Key(Qt::Key_Escape);
    EXPECT_EQ(window->keys, std::vector<int>{Qt::Key_Escape});
}

TEST_F(GridTest, CheckBoxToggleIsInTheTableAtOnce) {
    GoTo(0, kAmount);
    Click(1, kCheck);
    EXPECT_EQ(log, (Log{"RowColChange 0,4", "Before 0", "After 0"}));
    EXPECT_EQ(file->Stored(QStringLiteral("チェック"), 2), QVariant(true));
    EXPECT_FALSE(grid->HasPendingEdit());

    ClearLog();
    Key(Qt::Key_Space);
    EXPECT_EQ(log, (Log{"KeyDown 32", "KeyPress 32", "Before 0", "After 0"}));
    EXPECT_EQ(file->Stored(QStringLiteral("チェック"), 2), QVariant(false));

    // A button's statement sees the tick the user has just set.
    Click(3, kExempt);
    QVariant seen;
    QObject::connect(button, &QPushButton::clicked, [&] { seen = file->Stored(QStringLiteral("非課税"), 4); });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(seen, QVariant(true));

    grid->SetReadOnly(true);
    Key(Qt::Key_Space);
    EXPECT_EQ(file->Stored(QStringLiteral("非課税"), 4), QVariant(true)) << "a read-only grid changes nothing";

    // A read-only list (the lookup window's): a double click picks the row it lands on.
    ClearLog();
    QTest::mouseDClick(grid->View()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, kPartner));
    EXPECT_EQ(grid->Row(), 2);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "DblClick");
    EXPECT_FALSE(grid->IsEditing());
}

// ---------------------------------------------------------------- keys

TEST_F(GridTest, FunctionKeysAreLeftToTheForm) {
    GoTo(0, kItem);
    Key(Qt::Key_F2);
    EXPECT_EQ(log, (Log{"KeyDown 113"}));
    EXPECT_FALSE(grid->IsEditing()) << "F2 does not open the editor";
    EXPECT_EQ(window->keys, std::vector<int>{Qt::Key_F2});

    Type(QStringLiteral("ab"));
    ClearLog();
    window->keys.clear();
    Key(Qt::Key_F5);
    EXPECT_EQ(log, (Log{"KeyDown 116"}));
    EXPECT_TRUE(grid->IsEditing());
    EXPECT_TRUE(grid->HasPendingEdit()) << "the key alone commits nothing";
    EXPECT_EQ(window->keys, std::vector<int>{Qt::Key_F5});

    // F4 does not open the drop-down list either.
    Key(Qt::Key_Escape);
    grid->SetCol(kPartner);
    Key(Qt::Key_F4);
    EXPECT_FALSE(list.IsOpen());
}

TEST_F(GridTest, KeyThatEndsAnInputMethodCompositionIsNotAKeyDown) {
    GoTo(0, kItem);
    QInputMethodEvent start(QStringLiteral("しょうもう"), {});
    QCoreApplication::sendEvent(grid->View(), &start);
    ASSERT_TRUE(grid->IsEditing());
    ClearLog();
    QTest::keyClick(Editor(), Qt::Key_Return);  // converting, inside the composition
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("消耗品"));
    QCoreApplication::sendEvent(Editor(), &commit);
    QTest::keyClick(Editor(), Qt::Key_Return);  // the key that ended it
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(grid->HasPendingEdit());
    EXPECT_EQ(grid->Columns(kItem).Text(), QStringLiteral("消耗品"));

    QCoreApplication::processEvents();
    Key(Qt::Key_Return);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyPress 13", "Before 5", "After 5", "RowColChange 0,5"}));
    EXPECT_EQ(file->Stored(QStringLiteral("科目"), 1), QVariant(QStringLiteral("消耗品")));
}

TEST_F(GridTest, LeftRightMoveTheCaretInsideTheTextThenLeaveTheCell) {
    GoTo(0, kItem);
    Type(QStringLiteral("ab"));
    Key(Qt::Key_Left);
    EXPECT_EQ(grid->Col(), kItem);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), kItem);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), kMonthDay);
    EXPECT_EQ(file->Stored(QStringLiteral("科目"), 1), QVariant(QStringLiteral("ab")));
}

// ---------------------------------------------------------------- the cursor

TEST_F(GridTest, CursorSkipsColumnsItMayNotEnter) {
    grid->Columns(kAmount).SetAllowFocus(false);
    grid->Columns(kAmount).SetForeColor(QColor(0x808080));
    GoTo(0, kPartner);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), kItem);
    Key(Qt::Key_Left);
    EXPECT_EQ(grid->Col(), kPartner);

    // A click on such a column changes the row only, and typing there is refused.
    Click(2, kAmount);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), kPartner);
    grid->SetCol(kAmount);
    EXPECT_EQ(grid->Col(), kAmount) << "code may place the cursor there";
    Type(QStringLiteral("5"));
    EXPECT_FALSE(grid->HasPendingEdit());

    // Asking for a hidden column gives the nearest enterable one to its left.
    grid->Columns(kMonthDay).SetVisible(false);
    grid->SetCol(kMonthDay);
    EXPECT_EQ(grid->Col(), kItem);

    // Enter at the end of a row goes on to the next row; on the last row it stays.
    GoTo(0, kPicker);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), kCheck);
    GoTo(4, kPicker);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(grid->Col(), kPicker);
}

TEST_F(GridTest, RefreshDropsAPendingEditAndGoesToTheFirstRow) {
    GoTo(3, kItem);
    Type(QStringLiteral("abc"));
    EXPECT_TRUE(file->db.Execute(QStringLiteral("delete * from w明細 where lno > 2")));
    ClearLog();
    EXPECT_TRUE(data.Refresh());
    EXPECT_EQ(log, (Log{"RowColChange 3,5"}));
    EXPECT_FALSE(grid->HasPendingEdit());
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Row(), 0);
}

class BigGridTest : public GridTest {
protected:
    void SetUp() override { Build(5000); }
};

TEST_F(BigGridTest, PastTheLastRowAndTheRowAbove) {
    grid->SetCol(kPartner);
    EXPECT_TRUE(grid->ValueAbove(kLno).isNull()) << "no row above the first";
    ASSERT_TRUE(grid->MoveLast());
    EXPECT_EQ(grid->Row(), 4999);
    EXPECT_EQ(grid->ValueAbove(kLno), QVariant(qint64(4999)));
    EXPECT_FALSE(grid->IsEOF());

    ClearLog();
    EXPECT_TRUE(grid->MoveNext());
    EXPECT_TRUE(grid->IsEOF());
    EXPECT_FALSE(grid->IsBOF());
    EXPECT_EQ(log, (Log{"RowColChange 4999,3"}));
    EXPECT_TRUE(grid->Columns(kLno).Value().isNull());
    EXPECT_FALSE(grid->Columns(kItem).SetValue(QStringLiteral("x"))) << "no row to write";
    EXPECT_FALSE(grid->MoveNext());

    // The entry screen's next-row step on the last row: forward, then back.
    EXPECT_TRUE(grid->MovePrevious());
    EXPECT_EQ(grid->Row(), 4999);
    EXPECT_EQ(grid->Columns(kLno).Value(), QVariant(qint64(5000)));

    // A typed edit on the last row is written to that row.
    grid->SetCol(kItem);
    Type(QStringLiteral("z"));
    grid->MoveNext();
    EXPECT_EQ(file->Stored(QStringLiteral("科目"), 5000), QVariant(QStringLiteral("z")));

    // And the partner lookup's walk: from the first row until past the last.
    grid->MoveFirst();
    int walked = 0;
    while (!grid->IsEOF()) {
        ++walked;
        grid->MoveNext();
    }
    EXPECT_EQ(walked, 5000);
}

// ---------------------------------------------------------------- drop-down and button

QTableView* OpenListView() {
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup->findChild<QTableView*>() : nullptr;
}

TEST_F(GridTest, DropDownPickIsAPendingEditAndRaisesTheChoice) {
    QVariant reading;
    grid->onDropDownChoice = [&](int col) {
        Note(QStringLiteral("Choice %1").arg(col));
        reading = list.ColumnValue(1);
    };
    GoTo(0, kPartner);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list.IsOpen());
    QTableView* view = OpenListView();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      view->visualRect(view->model()->index(1, 0)).center());
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(log, (Log{"KeyDown 18", "KeyDown 40", "Choice 3"}));  // Alt, then Down
    EXPECT_EQ(reading, QVariant(QStringLiteral("さとう")));
    EXPECT_EQ(grid->Columns(kPartner).Value(), QVariant(QStringLiteral("佐藤電機")));
    EXPECT_TRUE(grid->HasPendingEdit());
    EXPECT_TRUE(file->Stored(QStringLiteral("取引先名"), 1).isNull());

    ClearLog();
    grid->SetCol(kAmount);  // what the entry screen's choice handler does
    EXPECT_EQ(log, (Log{"Before 3", "After 3", "RowColChange 0,3"}));
    EXPECT_EQ(file->Stored(QStringLiteral("取引先名"), 1), QVariant(QStringLiteral("佐藤電機")));

    // A name that is not in the list may be typed.
    GoTo(1, kPartner);
    Type(QStringLiteral("New Partner"));
    Key(Qt::Key_Return);
    EXPECT_EQ(file->Stored(QStringLiteral("取引先名"), 2), QVariant(QStringLiteral("New Partner")));
}

TEST_F(GridTest, DropDownKeepsTheRowsOfItsLastRefresh) {
    // Another part of the program rewrites the list's table.
    EXPECT_TRUE(file->db.Execute(QStringLiteral("delete * from w取引先参照")));
    EXPECT_TRUE(file->db.Execute(QStringLiteral("insert into w取引先参照 (取引先名) values ('別の一覧')")));
    EXPECT_EQ(list.RowCount(), 2);

    GoTo(0, kPartner);
    grid->Columns(kPartner).SetValue(QStringLiteral("亀山商店"));  // the list opens on this row
    const QRect cell = grid->View()->visualRect(grid->View()->model()->index(0, kPartner));
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(cell.right() - 3, cell.center().y()));
    QTableView* view = OpenListView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("亀山商店"));
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(grid->Columns(kPartner).Value(), QVariant(QStringLiteral("佐藤電機")));

    EXPECT_TRUE(partners.Refresh());
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.Value(0, 0), QVariant(QStringLiteral("別の一覧")));
}

TEST_F(GridTest, CellButtonOpensTheExternalEditorAndCommitsItsValue) {
    QRect editorCell;
    grid->Columns(kPicker).SetButtonEditor([&](const QRect& cell, const QVariant& value) -> std::optional<QVariant> {
        Note(QStringLiteral("Editor %1").arg(value.isNull() ? QStringLiteral("Null") : value.toString()));
        editorCell = cell;
        return QDate(2006, 1, 31);
    });
    afterUpdate = [this](int col) {
        if (col == kPicker) {  // the entry screen moves the date on and empties the picker cell
            grid->Columns(kDate).SetValue(grid->Columns(kPicker).Value());
            grid->Columns(kPicker).SetValue(QVariant());
        }
    };
    GoTo(2, kItem);
    Click(2, kPicker);
    EXPECT_EQ(log, (Log{"RowColChange 2,5", "ButtonClick 8", "Editor Null", "Before 8", "After 8"}));
    EXPECT_FALSE(editorCell.isEmpty());
    EXPECT_EQ(file->Stored(QStringLiteral("日付"), 3), QVariant(QDate(2006, 1, 31)));
    EXPECT_TRUE(file->Stored(QStringLiteral("DD日付"), 3).isNull());

    // A cancelled editor changes nothing.
    grid->Columns(kPicker).SetButtonEditor([](const QRect&, const QVariant&) { return std::optional<QVariant>(); });
    ClearLog();
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(log, (Log{"KeyDown 18", "KeyDown 40", "ButtonClick 8"}));
    EXPECT_FALSE(grid->HasPendingEdit());
}

TEST_F(GridTest, NarrowColumnsKeepTheWidthsSetInTwips) {
    // A check box and a cell button column are narrower than a header would
    // make them by itself.
    const QHeaderView* header = qobject_cast<QTableView*>(grid->View())->horizontalHeader();
    EXPECT_EQ(header->sectionSize(kCheck), ui::TwipsToPixels(340));
    EXPECT_EQ(header->sectionSize(kPicker), ui::TwipsToPixels(260));
    grid->Columns(kMonthDay).SetWidth(360);
    EXPECT_EQ(header->sectionSize(kMonthDay), ui::TwipsToPixels(360));
}

// ---------------------------------------------------------------- the data control

TEST(GridDataControlTest, ReadsInTableOrderAndWritesThroughWithTheFieldsConversion) {
    EnsureApp();
    WorkFile file(3);
    EXPECT_TRUE(file.db.Execute(QStringLiteral("delete * from w明細 where lno = 2")));
    EXPECT_TRUE(file.db.Execute(QStringLiteral("insert into w明細 (lno) values (9)")));
    ui::DataControl data;
    data.SetDatabaseName(file.path);
    data.SetRecordSource(QStringLiteral("w明細"));
    ASSERT_TRUE(data.Refresh());
    ASSERT_EQ(data.RowCount(), 3);
    const int lno = data.FieldIndex(QStringLiteral("LNO"));
    EXPECT_EQ(data.Value(0, lno), QVariant(qint64(1)));
    EXPECT_EQ(data.Value(2, lno), QVariant(qint64(9)));
    EXPECT_EQ(data.Value(0, data.FieldIndex(QStringLiteral("チェック"))), QVariant(false));

    const int amount = data.FieldIndex(QStringLiteral("金額"));
    ASSERT_TRUE(data.SetValue(2, amount, QStringLiteral("1,500")));
    EXPECT_EQ(data.Value(2, amount), QVariant(1500.0)) << "the kept row holds the stored value";
    EXPECT_EQ(file.Stored(QStringLiteral("金額"), 9), QVariant(1500.0));
    EXPECT_FALSE(data.SetValue(2, amount, QStringLiteral("千円")));
    EXPECT_FALSE(data.LastError().isEmpty());
    EXPECT_EQ(data.Value(2, amount), QVariant(1500.0));

    // The rows are those of the last refresh.
    EXPECT_TRUE(file.db.Execute(QStringLiteral("delete * from w明細")));
    EXPECT_EQ(data.RowCount(), 3);

    data.SetRecordSource(QStringLiteral("w存在しない"));
    EXPECT_FALSE(data.Refresh());
    EXPECT_EQ(data.RowCount(), 0);
    EXPECT_FALSE(data.LastError().isEmpty());
}

// ---------------------------------------------------------------- the current row

TEST_F(GridTest, TheCurrentRowIsMarkedAcrossTheWholeRowAndTheMarkFollowsTheCursor) {
    // The colour on screen a few pixels into a cell, away from its text.
    const auto shown = [this](int row, int col) {
        const QImage shot = grid->View()->viewport()->grab().toImage();
        const QRect cell = grid->View()->visualRect(grid->View()->model()->index(row, col));
        return shot.pixelColor(cell.left() + 3, cell.top() + 3);
    };
    const QColor band = grid->CurrentRowColor();
    const QColor plain = grid->palette().color(QPalette::Base);
    ASSERT_NE(band, plain);

    GoTo(2, kAmount);
    for (int col : {kCheck, kPartner, kItem, kMonthDay}) {
        EXPECT_EQ(shown(2, col), band) << "column " << col << " of the current row";
        EXPECT_EQ(shown(1, col), plain) << "column " << col << " of another row";
    }
    EXPECT_NE(shown(2, kAmount), plain) << "the current cell stands out too";

    // Moved by a key or a click, the band goes with the cursor.
    Key(Qt::Key_Down);
    EXPECT_EQ(shown(3, kPartner), band);
    EXPECT_EQ(shown(2, kPartner), plain);
    Click(0, kItem);
    EXPECT_EQ(shown(0, kPartner), band);
    EXPECT_EQ(shown(3, kPartner), plain);
}

}  // namespace
