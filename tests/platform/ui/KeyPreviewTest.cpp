// Key preview: a form that asks for it sees each key going down before the
// focused control does, exactly once, and the key then reaches the control
// unless the form consumed it.

#include <QLineEdit>
#include <QMouseEvent>
#include <QShortcut>
#include <QTableWidget>
#include <algorithm>
#include <cstddef>
#include <new>

#include "UiTestSupport.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/KeyHooks.h"
#include "platform/ui/TextControls.h"

namespace {

class PreviewForm : public ui::Form {
public:
    PreviewForm() {
        SetKeyPreview(true);
        combo = new ui::ComboBox(this);
        combo->Move(150, 150, 3000, 300);
        text = new ui::TextBox(this);
        text->Move(150, 600, 3000, 300);
        table = new QTableWidget(3, 2, this);
        table->setGeometry(10, 80, 300, 150);
    }

    QList<int> seen;
    QList<int> consume;  // keys the form keeps from the control
    QStringList order;
    ui::ComboBox* combo;
    ui::TextBox* text;
    QTableWidget* table;

protected:
    void OnKeyDown(ui::KeyArgs& key) override {
        seen << key.key;
        order << QStringLiteral("form");
        if (consume.contains(key.key)) key.Consume();
    }
};

class KeyPreviewTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        form = &ui::Forms::Get<PreviewForm>("FrmInput");
        form->Show();
        ASSERT_TRUE(ui_test::Activate(form));
    }

    // The key as the keyboard sends it: to the widget that has the focus.
    static void Press(int key) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, Qt::Key(key));
    }

    PreviewForm* form = nullptr;
};

TEST_F(KeyPreviewTest, FormSeesFunctionKeysOnceWhileAnEditableComboHasTheFocus) {
    form->combo->setFocus();
    ASSERT_TRUE(form->combo->hasFocus());
    Press(Qt::Key_F5);
    Press(Qt::Key_F9);
    EXPECT_EQ(form->seen, (QList<int>{Qt::Key_F5, Qt::Key_F9}))
        << "an unaccepted key travels up the parents; the form must still see it only once";
}

TEST_F(KeyPreviewTest, KeyPassedOnReachesTheFocusedControl) {
    form->combo->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    EXPECT_EQ(form->combo->Text(), QStringLiteral("ab"));
    EXPECT_EQ(form->seen, (QList<int>{Qt::Key_A, Qt::Key_B}));
}

TEST_F(KeyPreviewTest, ConsumedKeyNeverReachesTheControl) {
    form->text->SetFocus();
    form->consume = {Qt::Key_X};
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("axb"));
    EXPECT_EQ(form->text->Text(), QStringLiteral("ab"));
    EXPECT_EQ(form->seen.size(), 3);
}

TEST_F(KeyPreviewTest, FormSeesTheKeyBeforeTheControlsOwnHandler) {
    ui::SetKeyDownHandler(form->text, [this](ui::KeyArgs&) { form->order << QStringLiteral("control"); });
    form->text->SetFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(form->order, (QStringList{"form", "control"}));
}

TEST_F(KeyPreviewTest, FormSeesKeysWhileAGridCellEditorHasTheFocus) {
    form->table->setFocus();
    form->table->setCurrentCell(1, 1);
    form->table->setItem(1, 1, new QTableWidgetItem);
    form->table->editItem(form->table->item(1, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << "the cell editor has the focus";
    ASSERT_TRUE(form->table->isAncestorOf(editor));

    QTest::keyClicks(editor, QStringLiteral("7"));
    Press(Qt::Key_F8);
    EXPECT_EQ(form->seen, (QList<int>{Qt::Key_7, Qt::Key_F8}));
    EXPECT_EQ(editor->text(), QStringLiteral("7")) << "the editor still got its own key";
}

TEST_F(KeyPreviewTest, FunctionKeyGoesToThePreviewNotToAShortcut) {
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::Key_F7), form);
    QObject::connect(&shortcut, &QShortcut::activated, [&fired] { ++fired; });
    form->text->SetFocus();
    Press(Qt::Key_F7);
    EXPECT_EQ(form->seen, QList<int>{Qt::Key_F7});
    EXPECT_EQ(fired, 0);
}

TEST_F(KeyPreviewTest, KeysOfAnotherWindowAreNotPreviewed) {
    QWidget other;
    auto* field = new QLineEdit(&other);
    other.show();
    ASSERT_TRUE(ui_test::Activate(&other));
    field->setFocus();
    Press(Qt::Key_Escape);
    EXPECT_TRUE(form->seen.isEmpty());
}

TEST_F(KeyPreviewTest, ControlHandlersDiscardKeysAndTypedCharacters) {
    auto* combo = form->combo;
    combo->AddItem(QStringLiteral("１日加える"));
    combo->SetText(QStringLiteral("１日加える"));
    ui::SetKeyDownHandler(combo, [](ui::KeyArgs& key) {
        if (key.key == Qt::Key_Delete) key.Consume();
    });
    ui::SetKeyPressHandler(combo, [](ui::KeyArgs& key) { key.Consume(); });
    combo->setFocus();
    combo->lineEdit()->setCursorPosition(0);
    Press(Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
    EXPECT_EQ(combo->Text(), QStringLiteral("１日加える"));
    EXPECT_EQ(form->seen, (QList<int>{Qt::Key_Delete, Qt::Key_X, Qt::Key_Y})) << "the form still saw them first";

    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("あ"));
    QCoreApplication::sendEvent(combo, &typed);
    EXPECT_EQ(combo->Text(), QStringLiteral("１日加える")) << "characters of the input method are dropped too";
}

}  // namespace

namespace {

class TabForm : public ui::Form {
public:
    TabForm() {
        SetKeyPreview(true);
        first.Move(150, 150, 3000, 300);
        second.Move(150, 600, 3000, 300);
        third.Move(150, 1050, 3000, 300);
    }
    ui::TextBox first{this};
    ui::TextBox second{this};
    ui::TextBox third{this};
};

class TabOrderTest : public ui_test::UiTest {};

TEST_F(TabOrderTest, TabMovesOneFieldOnAFormThatPreviewsKeys) {
    auto& form = ui::Forms::Get<TabForm>("FrmTabs");
    form.Show();
    ASSERT_TRUE(ui_test::Activate(&form));
    form.first.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.second.Editor());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form.first.Editor());
}

}  // namespace

namespace {

// Counts what reaches it; leaves keys to its parent when asked to.
class Counter : public QWidget {
public:
    explicit Counter(QWidget* parent, bool passKeys) : QWidget(parent), passKeys_(passKeys) {
        setFocusPolicy(Qt::StrongFocus);
    }
    int keyPresses = 0;
    int keyReleases = 0;
    int mousePresses = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        ++keyPresses;
        if (passKeys_) e->ignore();
    }
    void keyReleaseEvent(QKeyEvent*) override { ++keyReleases; }
    void mousePressEvent(QMouseEvent*) override { ++mousePresses; }

private:
    bool passKeys_;
};

TEST_F(KeyPreviewTest, EveryEventOfALongRunArrivesEvenAtAReusedAddress) {
    auto* outer = new Counter(form, false);
    outer->setGeometry(10, 250, 200, 100);
    auto* inner = new Counter(outer, true);
    inner->setGeometry(10, 10, 50, 50);
    outer->show();
    inner->setFocus();

    // A key the inner widget leaves to its parent, then a click on that
    // parent built in the very same memory: the click is a new event.
    constexpr int kRounds = 500;
    alignas(std::max_align_t) unsigned char memory[std::max(sizeof(QKeyEvent), sizeof(QMouseEvent)) + 64];
    for (int i = 0; i < kRounds; ++i) {
        auto* key = new (memory) QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(inner, key);
        key->~QKeyEvent();
        const QPointF at(5, 5);
        auto* click = new (memory) QMouseEvent(QEvent::MouseButtonPress, at, outer->mapToGlobal(at), Qt::LeftButton,
                                               Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(outer, click);
        click->~QMouseEvent();
    }
    EXPECT_EQ(inner->keyPresses, kRounds);
    EXPECT_EQ(outer->keyPresses, kRounds) << "a key left unused goes on to the parent, once";
    EXPECT_EQ(outer->mousePresses, kRounds);
    EXPECT_EQ(form->seen.size(), kRounds) << "the form previews each key once";

    // Typing by keys, press and release each time.
    inner->setFocus();
    form->seen.clear();
    constexpr int kKeys = 1500;
    for (int i = 0; i < kKeys; ++i) QTest::keyClick(inner, Qt::Key_B);
    EXPECT_EQ(inner->keyPresses, kRounds + kKeys);
    EXPECT_EQ(inner->keyReleases, kKeys);
    EXPECT_EQ(form->seen.size(), kKeys);
}

}  // namespace
