// The activation event of a form: it fires when the user switches to the
// form from another window of the program, not when a message box or a
// modal window that the form itself opened closes again.

#include <QFrame>
#include <QMessageBox>
#include <QTimer>

#include "UiTestSupport.h"
#include "platform/ui/Buttons.h"

namespace {

class ScreenForm : public ui::Form {
public:
    int activations = 0;

protected:
    void OnActivate() override { ++activations; }
};

class LookupForm : public ui::Form {};

// Answers the message box that is open now, as the user would.
void CloseModalBoxSoon() {
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
}

class ActivationTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        menu = &ui::Forms::Get<ScreenForm>("MainMenu");
        input = &ui::Forms::Get<ScreenForm>("FrmInput");
        menu->Show();
        input->Show();
        ASSERT_TRUE(ui_test::Activate(menu));
        ASSERT_TRUE(ui_test::Activate(input));
        input->activations = 0;
        menu->activations = 0;
    }

    // After a modal window closes, the window manager gives the activation
    // back to the window below it.
    void ReturnTo(ui::Form* form) {
        if (QApplication::activeWindow() != form) {
            ASSERT_TRUE(ui_test::Activate(form));
        }
        QCoreApplication::processEvents();
    }

    ScreenForm* menu = nullptr;
    ScreenForm* input = nullptr;
};

TEST_F(ActivationTest, SwitchingFromAnotherFormOfTheProgramFires) {
    ASSERT_TRUE(ui_test::Activate(menu));
    EXPECT_EQ(menu->activations, 1);
    ASSERT_TRUE(ui_test::Activate(input));
    EXPECT_EQ(input->activations, 1);
    EXPECT_EQ(menu->activations, 1);
}

TEST_F(ActivationTest, ReturnFromItsOwnMessageBoxDoesNotFire) {
    CloseModalBoxSoon();
    QMessageBox::information(input, QStringLiteral("登録完了"), QStringLiteral("データ  ヒント を登録しました。"));
    ReturnTo(input);
    EXPECT_EQ(input->activations, 0);

    // The next real switch still counts.
    ASSERT_TRUE(ui_test::Activate(menu));
    ASSERT_TRUE(ui_test::Activate(input));
    EXPECT_EQ(input->activations, 1);
}

TEST_F(ActivationTest, ReturnFromItsOwnModalFormDoesNotFireEvenAfterANestedBox) {
    auto& lookup = ui::Forms::Get<LookupForm>("FrmPelmora");
    QTimer::singleShot(0, &lookup, [&lookup] {
        // The lookup asks something of its own before it closes.
        CloseModalBoxSoon();
        QMessageBox::question(&lookup, QStringLiteral("確認"), QStringLiteral("よろしいですか"));
        if (QApplication::activeWindow() != &lookup) ui_test::Activate(&lookup);
        lookup.Unload();
    });
    lookup.ShowModal();
    ReturnTo(input);
    EXPECT_EQ(input->activations, 0);
}

TEST_F(ActivationTest, ReturnFromAPopUpOfItsOwnControlDoesNotFire) {
    // A calendar or drop-down list that a control of the form opens.
    auto* popup = new QFrame(input, Qt::Popup);
    popup->resize(120, 80);
    popup->show();
    if (QApplication::activeWindow() != popup) {
        ASSERT_TRUE(ui_test::Activate(popup));
    }
    popup->close();
    delete popup;
    ReturnTo(input);
    EXPECT_EQ(input->activations, 0);
}

TEST_F(ActivationTest, ReturnFromAnotherProgramDoesNotFire) {
    QApplication::setActiveWindow(nullptr);  // the user is in another program
    QCoreApplication::processEvents();
    ASSERT_TRUE(ui_test::Activate(input));
    EXPECT_EQ(input->activations, 0);
}

}  // namespace
