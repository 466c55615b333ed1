// The form registry: one shared instance per name, loaded on its first
// showing, gone after an unload, and the collection of loaded forms.

#include <QPointer>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "UiTestSupport.h"
#include "platform/report/PrintService.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Form.h"

namespace {

QStringList journal;

class ProbeForm : public ui::Form {
public:
    int loads = 0;
    bool showsItselfOnLoad = false;

protected:
    void OnLoad() override {
        ++loads;
        journal << Name() + QStringLiteral(":load");
        if (showsItselfOnLoad) Show();
    }
    void OnUnload() override { journal << Name() + QStringLiteral(":unload"); }
};

QStringList LoadedNames() {
    QStringList names;
    for (ui::Form* form : ui::Forms::Loaded()) names << form->Name();
    return names;
}

class FormsTest : public ui_test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        journal.clear();
    }
};

TEST_F(FormsTest, FirstShowingLoadsOnceAndLaterShowingsOnlyBringItForward) {
    auto& form = ui::Forms::Get<ProbeForm>("FrmInput");
    EXPECT_EQ(form.Name(), "FrmInput");
    EXPECT_FALSE(form.IsLoaded()) << "made, not loaded, until it is shown";
    EXPECT_EQ(ui::Forms::Count(), 0);

    form.Show();
    EXPECT_EQ(form.loads, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ui::Forms::Count(), 1);

    form.showMinimized();
    ui::Forms::Get<ProbeForm>("FrmInput").Show();
    EXPECT_EQ(&ui::Forms::Get<ProbeForm>("FrmInput"), &form) << "one shared instance per name";
    EXPECT_EQ(form.loads, 1) << "a second showing must not run the load again";
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized) << "shown in the normal window state";
    EXPECT_EQ(ui::Forms::Count(), 1);
}

TEST_F(FormsTest, LoadThatShowsTheFormItselfRunsOnce) {
    auto& form = ui::Forms::Get<ProbeForm>("FrmKamoku");
    form.showsItselfOnLoad = true;
    form.Show();
    EXPECT_EQ(form.loads, 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(LoadedNames(), QStringList{"FrmKamoku"});
}

TEST_F(FormsTest, UnloadRunsTheHandlerDestroysTheInstanceAndTheNextShowingLoadsAgain) {
    auto& first = ui::Forms::Get<ProbeForm>("Hint");
    first.Show();
    QPointer<ProbeForm> old(&first);

    ui::Forms::Unload("Hint");
    EXPECT_EQ(journal, (QStringList{"Hint:load", "Hint:unload"}));
    EXPECT_EQ(ui::Forms::Find("Hint"), nullptr);
    EXPECT_EQ(ui::Forms::Count(), 0);
    EXPECT_FALSE(old->isVisible());
    ui_test::FlushDeletes();
    EXPECT_TRUE(old.isNull()) << "the unloaded instance is destroyed";

    auto& second = ui::Forms::Get<ProbeForm>("Hint");
    second.Show();
    EXPECT_EQ(second.loads, 1);
    EXPECT_EQ(journal, (QStringList{"Hint:load", "Hint:unload", "Hint:load"}));

    second.close();  // the title-bar button unloads too
    EXPECT_EQ(journal.last(), "Hint:unload");
    EXPECT_EQ(ui::Forms::Count(), 0);
}

TEST_F(FormsTest, LoadedFormsAreKeptInLoadOrder) {
    ui::Forms::Get<ProbeForm>("MainMenu").Show();
    ui::Forms::Get<ProbeForm>("FrmKeihiList").Show();
    ui::Forms::Get<ProbeForm>("Hint").Show();
    ui::Forms::Get<ProbeForm>("MainMenu").Show();  // already loaded: keeps its place
    EXPECT_EQ(LoadedNames(), (QStringList{"MainMenu", "FrmKeihiList", "Hint"}));

    ui::Forms::Get<ProbeForm>("FrmKeihiList").Unload();
    ui::Forms::Get<ProbeForm>("FrmKeihiList").Show();
    EXPECT_EQ(LoadedNames(), (QStringList{"MainMenu", "Hint", "FrmKeihiList"}));
    EXPECT_EQ(ui::Forms::Count(), 3);

    journal.clear();
    ui::Forms::UnloadAll();
    EXPECT_EQ(journal, (QStringList{"FrmKeihiList:unload", "Hint:unload", "MainMenu:unload"}));
    EXPECT_EQ(ui::Forms::Count(), 0);
}

TEST_F(FormsTest, FormCanUnloadItselfFromItsOwnButton) {
    auto& form = ui::Forms::Get<ProbeForm>("FrmMonthList");
    auto* close = new ui::CommandButton(QStringLiteral("閉じる"), &form);
    QObject::connect(close, &ui::CommandButton::Click, &form, &ui::Form::Unload);
    form.Show();
    QPointer<ProbeForm> watch(&form);

    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(ui::Forms::Count(), 0);
    ui_test::FlushDeletes();
    EXPECT_TRUE(watch.isNull());
}

TEST_F(FormsTest, ShowModalReturnsWhenTheFormUnloadsOrHides) {
    auto& lookup = ui::Forms::Get<ProbeForm>("FrmPelmora");
    QTimer::singleShot(0, &lookup, [&lookup] {
        EXPECT_TRUE(lookup.isModal());
        EXPECT_TRUE(lookup.isVisible());
        lookup.Unload();
    });
    lookup.ShowModal();
    EXPECT_EQ(journal, (QStringList{"FrmPelmora:load", "FrmPelmora:unload"}));

    auto& again = ui::Forms::Get<ProbeForm>("FrmPelmora");
    QTimer::singleShot(0, &again, [&again] { again.Hide(); });
    again.ShowModal();
    EXPECT_TRUE(again.IsLoaded()) << "hiding ends the modal showing but keeps the form loaded";
    EXPECT_FALSE(again.isModal());
}

// A screen larger than the display's free area opens within it and reaches
// every button by the keys and by scroll bars; one that fits has none. The
// print preview opens within the free area too.
TEST_F(FormsTest, AScreenLargerThanTheDisplayReachesEveryButtonAndThePreviewFitsTheDisplay) {
    const QRect free = QApplication::primaryScreen()->availableGeometry();
    auto fullyShown = [](const QWidget* w) { return w->visibleRegion() == QRegion(w->rect()); };

    auto& big = ui::Forms::Get<ProbeForm>("FrmInput");
    const int wide = ui::PixelsToTwips(free.width()) + 3000, tall = ui::PixelsToTwips(free.height()) + 3000;
    big.SetClientSize(wide, tall);
    ui::CommandButton first(QStringLiteral("読込"), &big), last(QStringLiteral("閉じる"), &big);
    first.Move(120, 120, 1200, 480);
    last.Move(wide - 1320, tall - 600, 1200, 480);
    big.Show();
    ASSERT_TRUE(ui_test::Activate(&big));
    EXPECT_TRUE(free.contains(big.frameGeometry())) << "the window lies within the free area";
    for (ui::CommandButton* button : {&last, &first}) {
        button->SetFocus();
        QCoreApplication::processEvents();
        EXPECT_TRUE(fullyShown(button)) << "the focused button scrolls into view";
    }
    ASSERT_FALSE(fullyShown(&last));
    for (QScrollBar* bar : big.findChildren<QScrollBar*>()) bar->setValue(bar->maximum());
    EXPECT_TRUE(fullyShown(&last)) << "the scroll bars reach the far corner";

    auto& small = ui::Forms::Get<ProbeForm>("FrmKamoku");
    small.SetClientSize(6900, 5460);
    small.Show();
    EXPECT_EQ(small.size(), QSize(460, 364));
    for (const QScrollBar* bar : small.findChildren<QScrollBar*>()) EXPECT_FALSE(bar->isVisible());
    report::QtPrintService printer;
    ASSERT_TRUE(printer.Preview(std::make_shared<const report::Pages>(), nullptr));
    QPrintPreviewDialog* preview = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible()) preview = d;
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(free.contains(preview->frameGeometry())) << "the preview lies within the free area";
    preview->close();
}

}  // namespace
