// SetImeOpen: the input-method state reaches the control, its editor and a
// grid's open cell editor, and the last request can be read back.

#include <QLineEdit>
#include <QTableWidget>

#include "UiTestSupport.h"
#include "platform/ui/Ime.h"
#include "platform/ui/TextControls.h"

namespace {

class ImeTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ui::ResetImeRequests();
        window.resize(400, 300);
        window.show();
        ASSERT_TRUE(ui_test::Activate(&window));
    }

    QWidget window;
};

TEST_F(ImeTest, SwitchesTheControlAndRecordsTheLastRequest) {
    QLineEdit name(&window);
    ui::SetImeOpen(&name, false);
    EXPECT_FALSE(ui::ImeOpenFor(&name));
    EXPECT_TRUE(name.inputMethodHints() & Qt::ImhLatinOnly);

    ui::SetImeOpen(&name, true);
    EXPECT_TRUE(ui::ImeOpenFor(&name));
    const ui::ImeRequest last = ui::LastImeRequest();
    EXPECT_EQ(last.widget, &name);
    EXPECT_TRUE(last.open);
    EXPECT_EQ(last.count, 2);
}

TEST_F(ImeTest, TextBoxPassesTheStateToItsEditor) {
    ui::TextBox reading(&window);
    ui::SetImeOpen(&reading, true);
    EXPECT_TRUE(ui::ImeOpenFor(reading.Editor()));
    ui::SetImeOpen(&reading, false);
    EXPECT_FALSE(ui::ImeOpenFor(reading.Editor()));
}

TEST_F(ImeTest, ReachesTheOpenCellEditorAndEditorsOpenedLater) {
    QTableWidget grid(4, 2, &window);
    grid.setGeometry(0, 0, 300, 200);
    grid.show();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c) grid.setItem(r, c, new QTableWidgetItem);
    grid.setFocus();
    grid.editItem(grid.item(0, 0));
    auto* open = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(open, nullptr);

    ui::SetImeOpen(&grid, true);  // the name column
    EXPECT_TRUE(ui::ImeOpenFor(open));

    ui::SetImeOpen(&grid, false);  // the cursor moved to an amount column
    grid.closePersistentEditor(grid.item(0, 0));
    grid.setCurrentCell(1, 1);
    grid.editItem(grid.item(1, 1));
    auto* later = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(later, nullptr);
    EXPECT_FALSE(ui::ImeOpenFor(later));
}

TEST_F(ImeTest, NullWindowIsLeftAlone) {
    ui::SetImeOpen(nullptr, true);
    EXPECT_EQ(ui::LastImeRequest().count, 0);
}

}  // namespace
