#include "core/Hint.h"

#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "platform/db/Quote.h"
#include "platform/db/Transaction.h"

namespace core {

Hint::Hint() {
    SetCaption(QStringLiteral("ヒント") + QString(8, u' '));
    SetClientSize(7200, 5400);
    lblFormName.Move(240, 180, 3000, 330);
    lblCtlName.Move(3360, 180, 3600, 330);
    lblFormTitle.Move(240, 600, 6720, 330);
    for (ui::Label* l : {&lblFormName, &lblCtlName, &lblFormTitle}) l->SetBorder(true);
    txtContents.Move(240, 1050, 6720, 3420);
    int x = 240;
    for (ui::CommandButton* b : {&cmd登録, &cmd削除, &cmdクリア, &cmd編集}) {
        b->Move(x, 4680, 1200, 450);
        x += 1320;
    }
    cmd閉じる.Move(5760, 4680, 1200, 450);

    // Locked until 編集 is pressed.
    txtContents.SetLocked(true);
    cmd編集.SetBackColorBgr(kLockedColour);

    connect(&cmd登録, &ui::CommandButton::Click, this, [this] { cmd登録_Click(); });
    connect(&cmd削除, &ui::CommandButton::Click, this, [this] { cmd削除_Click(); });
    connect(&cmdクリア, &ui::CommandButton::Click, this, [this] { txtContents.SetText(QString()); });
    connect(&cmd編集, &ui::CommandButton::Click, this, [this] { cmd編集_Click(); });
    connect(&cmd閉じる, &ui::CommandButton::Click, this, [this] { Unload(); });
}

void Hint::OnLoad() {
    lblFormName.SetCaption(ModMurv::HintFormName);
    lblFormTitle.SetCaption(ModMurv::HintCaption);
    lblCtlName.SetCaption(ModMurv::HintControlKey);
    ReadHint();
    Show();
    txtContents.SetFocus();
}

QString Hint::KeyCondition() const {
    return QStringLiteral(" where FormName = '") + db::SqlEscape(lblFormName.Caption()) + u'\'' +
           QStringLiteral(" and CtlName = '") + db::SqlEscape(lblCtlName.Caption()) + u'\'';
}

void Hint::ReadHint() {
    if (lblFormName.Caption().isEmpty() || lblCtlName.Caption().isEmpty()) return;
    ModMurv::SqlText = QStringLiteral("select * from MvHint") + KeyCondition();
    db::Recordset rs = ModMurv::DbData.OpenRecordset(ModMurv::SqlText);
    if (!rs.IsBOF() && !rs.IsEOF()) {
        const QVariant contents = rs.Value(QStringLiteral("Contents"));
        if (!contents.isNull()) txtContents.SetText(contents.toString());
    }
    rs.Close();
}

bool Hint::EntryHint() {
    if (lblFormName.Caption().isEmpty() || lblCtlName.Caption().isEmpty()) return true;
    db::Database& d = ModMurv::DbData;
    // Delete and add together: one row per key, and never none after a failure.
    db::Transaction transaction(d);
    if (!transaction.Began()) return false;
    ModMurv::SqlText = QStringLiteral("delete * from MvHint") + KeyCondition();
    bool ok = d.Execute(ModMurv::SqlText);
    ModMurv::SqlText = QStringLiteral("select * from MvHint") + KeyCondition();
    db::Recordset rs = d.OpenRecordset(ModMurv::SqlText);
    ok = ok && rs.AddNew();
    ok = ok && rs.SetValue(QStringLiteral("FormName"), lblFormName.Caption());
    ok = ok && rs.SetValue(QStringLiteral("CtlName"), lblCtlName.Caption());
    ok = ok && rs.SetValue(QStringLiteral("FormTitle"), lblFormTitle.Caption());
    ok = ok && rs.SetValue(QStringLiteral("Contents"), txtContents.Text());
    ok = ok && rs.Update();
    rs.Close();
    return ok && transaction.Commit();
}

bool Hint::Deleteヒント() {
    if (lblFormName.Caption().isEmpty() || lblCtlName.Caption().isEmpty()) return true;
    ModMurv::SqlText = QStringLiteral("delete * from MvHint") + KeyCondition();
    if (!ModMurv::DbData.Execute(ModMurv::SqlText)) return false;
    txtContents.SetText(QString());
    return true;
}

void Hint::cmd登録_Click() {
    if (!MsgShow(QStringLiteral("登録"), QStringLiteral("確認"), QStringLiteral("ヒント"))) return;
    if (EntryHint()) {
        MsgShow(QStringLiteral("登録"), QStringLiteral("完了"), QStringLiteral("ヒント"));
    } else {
        ShowFailure(QStringLiteral("ヒントを登録できませんでした。"), ModMurv::DbData.LastFailure());
    }
}

void Hint::cmd削除_Click() {
    if (!MsgShow(QStringLiteral("削除"), QStringLiteral("確認"), QStringLiteral("ヒント"))) return;
    if (Deleteヒント()) {
        MsgShow(QStringLiteral("削除"), QStringLiteral("完了"), QStringLiteral("ヒント"));
    } else {
        ShowFailure(QStringLiteral("ヒントを削除できませんでした。"), ModMurv::DbData.LastFailure());
    }
}

void Hint::cmd編集_Click() {
    if (ui::ToBgr(cmd編集.BackColor()) == kLockedColour) {
        txtContents.SetLocked(false);
        cmd編集.SetBackColorBgr(kEditingColour);
    } else {
        txtContents.SetLocked(true);
        cmd編集.SetBackColorBgr(kLockedColour);
    }
    txtContents.SetFocus();
}

void ShowHint() {
    if (BookOpen()) ui::Forms::Get<Hint>(QStringLiteral("Hint")).Show();
}

}  // namespace core
