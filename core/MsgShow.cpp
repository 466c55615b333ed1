#include "core/MsgShow.h"

#include <QStringView>
#include <span>

#include "platform/ui/MessagePresenter.h"

namespace core {

namespace {

using ui::Answer;
using ui::MessageBoxContent;
using ui::MessageButtons;
using ui::MessageIcon;

enum class Style {
    QuestionNoPreselected,
    QuestionYesPreselected,
    Information,
    Warning,
};

// One box of the catalogue. Its text is lead, then the subject when the box
// uses it, then tail; the subject is spliced in exactly as the caller gave it.
struct Entry {
    QStringView kind;
    QStringView title;
    QStringView lead;
    bool usesSubject;
    QStringView tail;
    Style style;
};

constexpr bool kSubject = true;
constexpr bool kNoSubject = false;

constexpr Entry kEntryMessages[] = {
    {u"確認", u"登録の確認", u"", kSubject, u" を登録します。よろしいですか", Style::QuestionYesPreselected},
    {u"標準完了", u"登録メッセージ", u"", kSubject, u" を登録しました。", Style::Information},
    {u"完了", u"登録完了", u"データ  ", kSubject, u" を登録しました。", Style::Information},
    {u"チェック", u"入力項目のチェック", u"入力必須項目が空白です。", kNoSubject, u"", Style::Information},
};

constexpr Entry kDeleteMessages[] = {
    {u"確認", u"削除の確認", u"すべてのデータを削除します。よろしいですか", kNoSubject, u"",
     Style::QuestionNoPreselected},
    {u"伝票確認2", u"削除の確認", u"", kSubject, u" を削除します。よろしいですか", Style::QuestionNoPreselected},
    {u"完了", u"削除の完了", u"データ ", kSubject, u" を削除しました。", Style::Information},
    {u"伝票完了2", u"削除の完了", u"", kSubject, u" を削除しました。", Style::Information},
};

constexpr Entry kRowSelectMessages[] = {
    {u"指定なし", u"入力注意", u"行が指定されていません。行指定してください。", kNoSubject, u"", Style::Warning},
};

constexpr Entry kOtherMessages[] = {
    {u"確認", u"確認", u"", kSubject, u"", Style::QuestionYesPreselected},
    {u"メッセージ", u"情報", u"", kSubject, u"", Style::Information},
    {u"読込み完了", u"読込完了", u"", kSubject, u"読込みしました。", Style::Information},
    {u"コピー完了", u"コピー完了", u"", kSubject, u"コピーしました。", Style::Information},
};

MessageBoxContent BoxFor(const Entry& entry, const QString& subject) {
    MessageBoxContent box;
    box.title = entry.title.toString();
    box.text = entry.lead.toString();
    if (entry.usesSubject) box.text += subject;
    box.text += entry.tail;
    const auto look = [&box](MessageButtons buttons, MessageIcon icon, Answer preselected) {
        box.buttons = buttons;
        box.icon = icon;
        box.defaultButton = preselected;
    };
    switch (entry.style) {
    case Style::QuestionNoPreselected: look(MessageButtons::YesNo, MessageIcon::Question, Answer::No); break;
    case Style::QuestionYesPreselected: look(MessageButtons::YesNo, MessageIcon::Question, Answer::Yes); break;
    case Style::Information: look(MessageButtons::Ok, MessageIcon::Information, Answer::Ok); break;
    case Style::Warning: look(MessageButtons::Ok, MessageIcon::Warning, Answer::Ok); break;
    }
    return box;
}

// Shows the first entry whose kind is exactly `kind`; true only for Yes to a question.
bool ShowFrom(std::span<const Entry> table, const QString& kind, const QString& subject) {
    for (const Entry& entry : table) {
        if (kind != entry.kind) continue;
        const MessageBoxContent box = BoxFor(entry, subject);
        const Answer answer = ui::CurrentPresenter().Present(box);
        return box.buttons == MessageButtons::YesNo && answer == Answer::Yes;
    }
    return false;
}

}  // namespace

bool MsgShow(const QString& operation, const QString& kind, const QString& subject) {
    if (operation == u"登録") return MsgEntry(kind, subject);
    if (operation == u"削除") return MsgDelete(kind, subject);
    if (operation == u"行指定") return MsgRowSelect(kind, subject);
    if (operation == u"その他") return MsgOther(kind, subject);
    return false;
}

bool MsgEntry(const QString& kind, const QString& subject) { return ShowFrom(kEntryMessages, kind, subject); }

bool MsgDelete(const QString& kind, const QString& subject) { return ShowFrom(kDeleteMessages, kind, subject); }

bool MsgRowSelect(const QString& kind, const QString& subject) { return ShowFrom(kRowSelectMessages, kind, subject); }

bool MsgOther(const QString& kind, const QString& subject) { return ShowFrom(kOtherMessages, kind, subject); }

}  // namespace core
