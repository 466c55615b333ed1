#include "maintenance/BackupBoxes.h"

#include "core/Failure.h"
#include "core/Version.h"
#include "platform/ui/MessagePresenter.h"

namespace maintenance {

using ui::Answer;
using ui::MessageBoxContent;
using ui::MessageButtons;
using ui::MessageIcon;

bool AskOkCancel(const QString& title, const QString& text) {
    const MessageBoxContent box{title, text, MessageButtons::OkCancel, MessageIcon::Warning, Answer::Ok};
    return ui::CurrentPresenter().Present(box) == Answer::Ok;
}

void Tell(const QString& title, const QString& text) {
    ui::CurrentPresenter().Present({title, text, MessageButtons::Ok, MessageIcon::Information, Answer::Ok});
}

void TellWithAppTitle(const QString& text, bool failure) {
    ui::CurrentPresenter().Present({core::ProductCaption(), text, MessageButtons::Ok,
                                    failure ? MessageIcon::Warning : MessageIcon::Information, Answer::Ok});
}

void TellFailure(const QString& title, const QString& text, const QString& detail) {
    core::ShowFailure(text, detail, title);
}

void TellFailure(const QString& title, const QString& text, const db::Failure& failure) {
    core::ShowFailure(text, failure, title);
}

bool AskReplace(const QString& path) {
    const MessageBoxContent box{QStringLiteral("上書きの確認"),
                                path + QStringLiteral(" は既にあります。置き換えますか。"), MessageButtons::YesNo,
                                MessageIcon::Question, Answer::No};
    return ui::CurrentPresenter().Present(box) == Answer::Yes;
}

}  // namespace maintenance
