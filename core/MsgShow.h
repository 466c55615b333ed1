#pragma once
// The message catalogue: every screen talks to the user through MsgShow. A
// screen names an operation ("登録", "削除", "行指定", "その他"), a kind within
// it and a subject; the catalogue owns the title, the text, the buttons, the
// icon and the preselected button of each box. Operations and kinds are
// compared as exact texts; an unknown one shows nothing and gives false.
// The result is true only when a Yes/No question is answered Yes.
//
// Boxes are shown through ui::CurrentPresenter().

#include <QString>

namespace core {

bool MsgShow(const QString& operation, const QString& kind, const QString& subject);

// The handler of "登録". The maintenance screen also calls it directly with
// the kind "チェック" and an empty subject.
bool MsgEntry(const QString& kind, const QString& subject);

// The handlers of "削除", "行指定" and "その他"; screens go through MsgShow.
bool MsgDelete(const QString& kind, const QString& subject);
bool MsgRowSelect(const QString& kind, const QString& subject);
bool MsgOther(const QString& kind, const QString& subject);

}  // namespace core
