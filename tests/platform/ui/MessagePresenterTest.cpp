#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "platform/ui/MessagePresenter.h"

using ui::Answer;
using ui::MessageBoxContent;
using ui::MessageButtons;
using ui::MessageIcon;

namespace {

void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_platform_ui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// What the test saw of the box while it was open.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat textFormat = Qt::AutoText;
    QStringList buttonTexts;  // sorted
    QString defaultText;
    QWidget* parent = nullptr;
};

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text) {
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text) return button;
    return nullptr;
}

// Presents `request` through the QMessageBox presenter; once the box is up,
// records what it shows and lets `act` answer it.
Answer PresentAndAct(const MessageBoxContent& request, SeenBox& seen, const std::function<void(QMessageBox*)>& act) {
    int attempts = 0;
    std::function<void()> poll = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++attempts < 200) QTimer::singleShot(10, poll);
            return;
        }
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.textFormat = box->textFormat();
        for (QAbstractButton* button : box->buttons()) seen.buttonTexts << button->text();
        seen.buttonTexts.sort();
        seen.defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.parent = box->parentWidget();
        act(box);
        // Never leave a box open: a missed answer would hang the test.
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(2000, [guard] {
            if (guard) guard->done(0);
        });
    };
    QTimer::singleShot(0, poll);
    ui::QtMessagePresenter presenter;
    return presenter.Present(request);
}

enum class Action { Escape, Enter, CloseWindow, ClickYes, ClickNo, ClickOk };

void Perform(Action action, QMessageBox* box) {
    switch (action) {
    case Action::Escape: QTest::keyClick(box, Qt::Key_Escape); break;
    case Action::Enter: QTest::keyClick(box, Qt::Key_Return); break;
    case Action::CloseWindow: box->close(); break;
    case Action::ClickYes: ButtonWithText(box, QStringLiteral("はい"))->click(); break;
    case Action::ClickNo: ButtonWithText(box, QStringLiteral("いいえ"))->click(); break;
    case Action::ClickOk: ButtonWithText(box, QStringLiteral("OK"))->click(); break;
    }
}

const MessageBoxContent kDeleteQuestion{QStringLiteral("削除の確認"),
                                        QStringLiteral("指定されたデータ を削除します。よろしいですか"),
                                        MessageButtons::YesNo, MessageIcon::Question, Answer::No};
const MessageBoxContent kEntryQuestion{QStringLiteral("登録の確認"),
                                       QStringLiteral("経費 を登録します。よろしいですか"), MessageButtons::YesNo,
                                       MessageIcon::Question, Answer::Yes};
const MessageBoxContent kNotice{QStringLiteral("情報"), QStringLiteral("<b>更新を終了しました。</b>"),
                                MessageButtons::Ok, MessageIcon::Information, Answer::Ok};
const MessageBoxContent kWarning{QStringLiteral("入力注意"),
                                 QStringLiteral("行が指定されていません。行指定してください。"), MessageButtons::Ok,
                                 MessageIcon::Warning, Answer::Ok};

}  // namespace

TEST(QtMessagePresenter, ShowsTheBoxAsDescribedAndMapsEveryWayOfAnswering) {
    EnsureApplication();
    const QStringList yesNo{QStringLiteral("いいえ"), QStringLiteral("はい")};
    const QStringList okOnly{QStringLiteral("OK")};
    struct Case {
        const char* name;
        const MessageBoxContent& request;
        Action action;
        Answer expected;
        QMessageBox::Icon icon;
        QStringList buttons;
        QString defaultText;
    };
    const Case cases[] = {
        {"deletion, Esc", kDeleteQuestion, Action::Escape, Answer::No, QMessageBox::Question, yesNo, "いいえ"},
        {"deletion, Enter", kDeleteQuestion, Action::Enter, Answer::No, QMessageBox::Question, yesNo, "いいえ"},
        {"deletion, closed", kDeleteQuestion, Action::CloseWindow, Answer::No, QMessageBox::Question, yesNo, "いいえ"},
        {"deletion, はい", kDeleteQuestion, Action::ClickYes, Answer::Yes, QMessageBox::Question, yesNo, "いいえ"},
        {"registration, Enter", kEntryQuestion, Action::Enter, Answer::Yes, QMessageBox::Question, yesNo, "はい"},
        {"registration, Esc", kEntryQuestion, Action::Escape, Answer::No, QMessageBox::Question, yesNo, "はい"},
        {"registration, いいえ", kEntryQuestion, Action::ClickNo, Answer::No, QMessageBox::Question, yesNo, "はい"},
        {"notice, Esc", kNotice, Action::Escape, Answer::Ok, QMessageBox::Information, okOnly, "OK"},
        {"notice, closed", kNotice, Action::CloseWindow, Answer::Ok, QMessageBox::Information, okOnly, "OK"},
        {"warning, OK", kWarning, Action::ClickOk, Answer::Ok, QMessageBox::Warning, okOnly, "OK"},
        {"warning, Enter", kWarning, Action::Enter, Answer::Ok, QMessageBox::Warning, okOnly, "OK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeenBox seen;
        const Answer answer = PresentAndAct(c.request, seen, [&](QMessageBox* box) { Perform(c.action, box); });

        ASSERT_TRUE(seen.found);
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(seen.title.toStdString(), c.request.title.toStdString());
        EXPECT_EQ(seen.text.toStdString(), c.request.text.toStdString());
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttonTexts.join(u'|').toStdString(), c.buttons.join(u'|').toStdString());
        EXPECT_EQ(seen.defaultText.toStdString(), c.defaultText.toStdString());
        EXPECT_EQ(seen.textFormat, Qt::PlainText);  // a subject with "<" must show as typed
    }
}

TEST(QtMessagePresenter, BoxSitsOverTheActiveWindow) {
    EnsureApplication();
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    if (QApplication::activeWindow() != &window) GTEST_SKIP() << "the platform gives no active window";

    SeenBox seen;
    PresentAndAct(kWarning, seen, [](QMessageBox* box) { box->close(); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.parent, &window);
}

TEST(ScriptedPresenter, RecordsEveryBoxAndAnswersQuestionsFromTheQueueThenByTheirDefault) {
    ui::ScriptedPresenter presenter{Answer::Yes, Answer::No};

    // Questions take the queue in order; OK boxes answer Ok and leave it alone.
    EXPECT_EQ(presenter.Present(kEntryQuestion), Answer::Yes);
    EXPECT_EQ(presenter.Present(kNotice), Answer::Ok);
    EXPECT_EQ(presenter.Present(kEntryQuestion), Answer::No);
    // Queue empty: the preselected button.
    EXPECT_EQ(presenter.Present(kEntryQuestion), Answer::Yes);
    EXPECT_EQ(presenter.Present(kDeleteQuestion), Answer::No);
    EXPECT_EQ(presenter.Present(kWarning), Answer::Ok);

    const QList<MessageBoxContent> expected{kEntryQuestion, kNotice,         kEntryQuestion,
                                            kEntryQuestion, kDeleteQuestion, kWarning};
    EXPECT_EQ(presenter.Shown(), expected);
    EXPECT_EQ(presenter.PendingAnswers(), 0);
}

TEST(ScopedPresenter, InstallsForItsLifetimeAndRestoresThePreviousOne) {
    ui::MessagePresenter* const real = &ui::CurrentPresenter();
    ASSERT_NE(dynamic_cast<ui::QtMessagePresenter*>(real), nullptr);

    ui::ScriptedPresenter outer;
    ui::ScriptedPresenter inner;
    {
        ui::ScopedPresenter outerGuard(outer);
        EXPECT_EQ(&ui::CurrentPresenter(), &outer);
        {
            ui::ScopedPresenter innerGuard(inner);
            EXPECT_EQ(&ui::CurrentPresenter(), &inner);
        }
        EXPECT_EQ(&ui::CurrentPresenter(), &outer);
    }
    EXPECT_EQ(&ui::CurrentPresenter(), real);

    EXPECT_EQ(ui::SetPresenter(&outer), real);
    EXPECT_EQ(ui::SetPresenter(nullptr), &outer);
    EXPECT_EQ(&ui::CurrentPresenter(), real);
}
