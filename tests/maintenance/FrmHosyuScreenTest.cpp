// The maintenance screen itself: what loading shows, the era display, the
// two combos, the keys, navigation, hints, the catalogue, the data-path
// dialog and the links.
#include <QAbstractItemView>
#include <QKeyEvent>

#include "core/Hint.h"
#include "core/ScreenKit.h"
#include "core/Version.h"
#include "platform/disk/Drives.h"
#include "tests/maintenance/HosyuFixture.h"

namespace {

class FrmHosyuScreenTest : public test::HosyuTest {
protected:
    // Chooses an item from a combo's drop-down list by the mouse.
    static void Choose(ui::ComboBox& combo, int item) {
        combo.showPopup();
        QAbstractItemView* list = combo.view();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualRect(list->model()->index(item, 0)).center());
    }
    // A character typed on the keyboard (keys without a Latin key code too).
    static void TypeChar(QWidget* w, const QString& c) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, c), release(QEvent::KeyRelease, 0, Qt::NoModifier, c);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
};

TEST_F(FrmHosyuScreenTest, WithoutACompanyRowEveryFieldShowsItsDefaultAndTheYearEndPageIsEmpty) {
    ExecData(QStringLiteral("delete * from 自社情報"));
    F& f = Open();
    EXPECT_EQ(f.LblUpdate.Caption(), QStringLiteral(" MURV経費帳　Ver 2.40"));
    EXPECT_EQ(f.cmb年号.Text() + u'/' + f.cmb税端数.Text() + u'/' + f.cmbFDD.Text(),
              QStringLiteral("西暦/切り捨て/") + disk::CurrentDriveProbe().RemovableMedia().value(0));
    EXPECT_TRUE(f.txt開始.IsNull() && f.txt終了.IsNull() && f.txt税実施.IsNull());
    EXPECT_TRUE(f.txt税率.IsNull() && f.txt税率2.IsNull());
    EXPECT_TRUE(f.dt今期開始.IsNull() && f.dt今期終了.IsNull() && f.dt次期開始.IsNull() && f.dt次期終了.IsNull());
    EXPECT_EQ(f.txtタイトル.Text() + f.txt今期タイトル.Text() + f.txt次期タイトル.Text() + f.txtDataPath.Text(),
              QString());
    // The backup page's procedures are there.
    EXPECT_TRUE(f.cmdFD書込.isEnabled() && f.cmdHD書込.isEnabled() && f.cmdFD読込.isEnabled() &&
                f.cmdHD読込.isEnabled());
    EXPECT_FALSE(f.CnMsg.Visible());
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

TEST_F(FrmHosyuScreenTest, AStoredPeriodFillsBothPagesTheNextPeriodAYearLaterAndTheEraSwitchesOnLeavingTheCombo) {
    SetCompany(
        QStringLiteral("タイトル = '2006年度', 開始日 = #2006/04/01#, 終了日 = #2007/03/31#, 税率 = 0.08, "
                       "税実施 = #2019/10/01#, 年号 = '西暦'"));
    F& f = Open();
    EXPECT_EQ(f.txt開始.Text() + u'~' + f.txt終了.Text() + u' ' + f.txtタイトル.Text(),
              QStringLiteral("2006/04/01~2007/03/31 2006年度"));
    EXPECT_EQ(f.txt税率.Text(), QStringLiteral("8"));
    EXPECT_EQ(f.dt今期開始.Date(), QDate(2006, 4, 1));
    EXPECT_EQ(f.dt今期終了.Date(), QDate(2007, 3, 31));
    EXPECT_EQ(f.dt次期開始.Date(), QDate(2007, 4, 1));
    EXPECT_EQ(f.dt次期終了.Date(), QDate(2008, 3, 31));
    EXPECT_EQ(f.txt今期タイトル.Text() + u'|' + f.txt次期タイトル.Text(), QStringLiteral("2006年度|"));

    // Chosen and left: era dates at once, before anything is saved.
    f.cmb年号.SetFocus();
    Choose(f.cmb年号, 1);
    EXPECT_EQ(f.cmb年号.Text(), QStringLiteral("和暦"));
    EXPECT_EQ(f.txt開始.Width(), 1530) << "not before the combo is left";
    f.txtタイトル.SetFocus();
    EXPECT_EQ(f.txt開始.Text(), QStringLiteral("平成 18年04月01日"));
    EXPECT_EQ(f.txt税実施.Text(), QStringLiteral("令和 01年10月01日"));
    EXPECT_EQ(f.txt開始.Width(), 2370);
    EXPECT_EQ(f.txt終了.Left(), 3960);
    EXPECT_EQ(f.LblKara.Left(), 3690);
    EXPECT_EQ(f.Fra期間.Width(), 6390);
    EXPECT_EQ(f.txt税実施.Left(), 2805);
    EXPECT_EQ(f.dt今期開始.Text(), QStringLiteral("2006/04/01")) << "the year-end page stays Western";

    // The clear puts the combo back; the display follows once it is left.
    QTest::mouseClick(&f.cmdクリア, Qt::LeftButton);
    EXPECT_EQ(f.cmb年号.Text(), QStringLiteral("西暦"));
    EXPECT_EQ(f.txt開始.Width(), 2370);
    f.txt開始.SetDate(QDate(2006, 4, 1));
    Leave(&f.cmb年号);
    EXPECT_EQ(f.txt開始.Width(), 1530);
    EXPECT_EQ(f.txt開始.Text(), QStringLiteral("2006/04/01"));
    EXPECT_EQ(f.txt終了.Text(), QStringLiteral("2007/03/31")) << "proposed for the typed start";
    EXPECT_TRUE(f.dt今期開始.IsNull());
}

TEST_F(FrmHosyuScreenTest, TheCombosChangeOnlyFromTheirListsAndTheRoundingIgnoresEvenArrows) {
    F& f = Open();
    f.cmb年号.SetFocus();
    QTest::keyClick(&f.cmb年号, Qt::Key_Delete);
    TypeChar(&f.cmb年号, QStringLiteral("和"));
    EXPECT_EQ(f.cmb年号.Text(), QStringLiteral("西暦"));
    QTest::keyClick(&f.cmb年号, Qt::Key_Down);
    EXPECT_EQ(f.cmb年号.Text(), QStringLiteral("和暦"));

    f.cmb税端数.SetFocus();
    QTest::keyClick(&f.cmb税端数, Qt::Key_Down);
    TypeChar(&f.cmb税端数, QStringLiteral("四"));
    EXPECT_EQ(f.cmb税端数.Text(), QStringLiteral("切り捨て"));
    Choose(f.cmb税端数, 2);
    EXPECT_EQ(f.cmb税端数.Text(), QStringLiteral("四捨五入"));
    QTest::keyClick(&f.cmb税端数, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), &f.cmb税端数) << "Tab still leaves it";
}

TEST_F(FrmHosyuScreenTest, FunctionKeysRunTheirButtonsAndTheMenuButtonLeadsToTheEntryScreen) {
    F& f = Open();
    TypeInto(&f.txtタイトル, QStringLiteral("x"));
    QWidget* field = f.txtタイトル.Editor();
    boxes_.QueueAnswer(Answer::No);
    QTest::keyClick(field, Qt::Key_F5);
    EXPECT_EQ(Texts(), QStringList{"設定 を登録します。よろしいですか"});
    QTest::keyClick(field, Qt::Key_F9);
    EXPECT_EQ(f.txtタイトル.Text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), &f.cmb年号);

    QTest::keyClick(&f.cmb年号, Qt::Key_F1);
    EXPECT_NE(ui::Forms::Find(QStringLiteral("FrmInput")), nullptr);
    EXPECT_TRUE(ui::Forms::Find(QStringLiteral("FrmInput"))->isVisible());
    EXPECT_EQ(ModMurv::FormNameStack[0], QStringLiteral("FrmHosyu"));
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmHosyu")), &f) << "it stays loaded";

    f.Show();
    QTest::keyClick(&f.cmb年号, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmHosyu")), nullptr);
    EXPECT_EQ(boxes_.Shown().size(), 1);
}

TEST_F(FrmHosyuScreenTest, TheHintsHaveTheirOwnKeysTheCatalogueOpensWithoutAPushAndClosingKeepsTheHint) {
    F& f = Open();
    QTest::mouseClick(&f.cmdHint, Qt::LeftButton);
    auto* hint = qobject_cast<core::Hint*>(ui::Forms::Find(QStringLiteral("Hint")));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->lblFormName.Caption() + u'/' + hint->lblCtlName.Caption() + u'/' + hint->lblFormTitle.Caption(),
              QStringLiteral("FrmHosyu/cmdHint/保守"));
    hint->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    f.SSTab1.SetTab(F::kPageデータ保守);
    QTest::mouseClick(&f.CmdHint2, Qt::LeftButton);
    hint = qobject_cast<core::Hint*>(ui::Forms::Find(QStringLiteral("Hint")));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->lblCtlName.Caption(), QStringLiteral("CmdHint2"));

    const QString top = ModMurv::FormNameStack[0];
    f.Show();
    f.SSTab1.SetTab(F::kPage設定);
    QTest::mouseClick(&f.cmd勘定科目, Qt::LeftButton);
    ui::Form* catalogue = ui::Forms::Find(QStringLiteral("Frm勘定科目"));
    ASSERT_NE(catalogue, nullptr);
    EXPECT_TRUE(catalogue->isVisible());
    EXPECT_EQ(ModMurv::FormNameStack[0], top);

    QTest::mouseClick(&f.cmd閉じる, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui::Forms::Find(QStringLiteral("FrmHosyu")), nullptr);
    EXPECT_NE(ui::Forms::Find(QStringLiteral("Hint")), nullptr);
    EXPECT_TRUE(boxes_.Shown().isEmpty());
}

TEST_F(FrmHosyuScreenTest, TheDataPathDialogOnlyFillsTheFieldAndTheLinksOpenTheirPages) {
    F& f = Open();
    dialogs_.QueuePath(QStringLiteral("/home/user/帳簿/mvkdata.mdb"));
    QTest::mouseClick(&f.cmdデータパス参照, Qt::LeftButton);
    EXPECT_EQ(f.txtDataPath.Text(), QStringLiteral("/home/user/帳簿/mvkdata.mdb"));
    EXPECT_EQ(WorkRows(QStringLiteral("select DataPath from 管理")), QStringList{"-"}) << "nothing saved yet";
    QTest::mouseClick(&f.cmdデータパス参照, Qt::LeftButton);  // cancelled
    EXPECT_EQ(f.txtDataPath.Text(), QStringLiteral("/home/user/帳簿/mvkdata.mdb"));

    QTest::mouseClick(&f.Image1, Qt::LeftButton);
    QTest::mouseClick(&f.Image2, Qt::LeftButton);
    ASSERT_EQ(openedUrls_.size(), 2);
    EXPECT_EQ(openedUrls_[0], QUrl(core::kWebPage));
    EXPECT_NE(openedUrls_[1], openedUrls_[0]);
    EXPECT_TRUE(openedUrls_[1].toString().startsWith(core::kWebPage));

    const ui::UrlOpener working = ui::SetUrlOpener([](const QUrl&) { return false; });
    QTest::mouseClick(&f.Image1, Qt::LeftButton);
    ui::SetUrlOpener(working);
    EXPECT_EQ(Texts(), QStringList{"ホームページを開けませんでした。" + core::kWebPage});
}

TEST_F(FrmHosyuScreenTest, ARefusedBookLeavesTheReadingOfACopyWhichMakesTheScreensUsableAgain) {
    SetCompany(QStringLiteral("タイトル = '読み込む帳簿'"));
    const QString copy = QDir(folder_.path()).filePath(QStringLiteral("copy.mdb"));
    ASSERT_TRUE(QFile::copy(DataFile(), copy) && QFile::resize(DataFile(), 0));
    Menu().Show();
    EXPECT_TRUE(Texts().value(0).endsWith(core::kRecoverBookAdvice)) << Texts().value(0).toStdString();
    boxes_.Clear();
    QTest::mouseClick(&Menu().cmd経費入力, Qt::LeftButton);
    F& f = Open();
    EXPECT_EQ(f.SSTab1.Tab(), F::kPageデータ保守);
    Press(f.cmd登録);
    EXPECT_EQ(Texts(), QStringList(2, core::kNoBookOpen));
    dialogs_.QueuePath(copy);
    Press(f.cmdHD読込, {Answer::Yes});
    EXPECT_EQ(f.txtタイトル.Text(), QStringLiteral("読み込む帳簿"));
    QTest::mouseClick(&f.cmdメニュー, Qt::LeftButton);
    EXPECT_NE(ui::Forms::Find(QStringLiteral("FrmInput")), nullptr);
    EXPECT_EQ(Texts().size(), 4) << Texts().join(u'|').toStdString();  // and the replacement's two
}

}  // namespace
