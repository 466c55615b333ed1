// A command (a button or a function key of the form) first commits the edit
// open in a grid of its form.
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "platform/db/Database.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/DataControl.h"
#include "platform/ui/Grid.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

class CommandForm : public ui::Form {
public:
    ui::DataGrid grid{this};
    ui::CommandButton cmd登録{QStringLiteral("登録"), this};
    ui::DataControl data;
    std::function<void()> onCommand;

    CommandForm() {
        SetKeyPreview(true);
        grid.setGeometry(0, 0, 400, 200);
        cmd登録.Move(0, 3200, 1200, 400);
        connect(&cmd登録, &ui::CommandButton::Click, this, [this] { onCommand(); });
    }

protected:
    void OnKeyDown(ui::KeyArgs& key) override {
        if (key.key == Qt::Key_F5) onCommand();
    }
};

class GridCommandTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        path_ = dir_.filePath(QStringLiteral("work.mdb"));
        ASSERT_TRUE(db_.Create(path_));
        ASSERT_TRUE(db_.ExecuteNative(
            QStringLiteral("CREATE TABLE w明細 (lno LONG, 金額 DOUBLE); INSERT INTO w明細 (lno) VALUES (1), (2);")));
        form_ = &ui::Forms::Get<CommandForm>(QStringLiteral("FrmCommand"));
        form_->data.SetDatabaseName(path_);
        form_->data.SetRecordSource(QStringLiteral("w明細"));
        form_->grid.SetDataSource(&form_->data);
        form_->grid.SetColumns({QStringLiteral("lno"), QStringLiteral("金額")});
        ASSERT_TRUE(form_->data.Refresh());
        form_->onCommand = [this] {
            ++commands_;
            seen_ = db_.OpenRecordset(QStringLiteral("select 金額 from w明細 where lno = 1")).Value(0);
        };
        form_->Show();
        ASSERT_TRUE(ui_test::Activate(form_));
        form_->grid.SetRow(0);
        form_->grid.SetCol(1);
        form_->grid.SetFocus();
    }
    // Where the keys go: the open cell editor, else the grid.
    QWidget* KeyTarget() const {
        if (form_->grid.IsEditing())
            if (auto* editor = form_->grid.View()->findChild<QLineEdit*>()) return editor;
        return form_->grid.View();
    }
    void TypeAmount(const char* digits) {
        for (const char c : std::string(digits)) QTest::keyClicks(KeyTarget(), QString(QChar(c)));
        ASSERT_TRUE(form_->grid.HasPendingEdit());
    }

    QTemporaryDir dir_;
    QString path_;
    db::Database db_;
    CommandForm* form_ = nullptr;
    int commands_ = 0;
    QVariant seen_;
};

TEST_F(GridCommandTest, AButtonSeesTheValueTypedButNotYetCommitted) {
    TypeAmount("1200");
    QTest::mouseClick(&form_->cmd登録, Qt::LeftButton);
    EXPECT_EQ(commands_, 1);
    EXPECT_EQ(seen_.toDouble(), 1200.0);
}

TEST_F(GridCommandTest, AFunctionKeySeesTheValueTypedButNotYetCommitted) {
    TypeAmount("750");
    QTest::keyClick(KeyTarget(), Qt::Key_F5);
    EXPECT_EQ(commands_, 1);
    EXPECT_EQ(seen_.toDouble(), 750.0);
}

TEST_F(GridCommandTest, ARefusedEditStopsTheCommand) {
    form_->grid.onBeforeColUpdate = [](int, const QVariant&, int& cancel) { cancel = 1; };
    TypeAmount("9");
    QTest::mouseClick(&form_->cmd登録, Qt::LeftButton);
    QTest::keyClick(KeyTarget(), Qt::Key_F5);
    EXPECT_EQ(commands_, 0);
    EXPECT_TRUE(form_->grid.HasPendingEdit());
}

}  // namespace
