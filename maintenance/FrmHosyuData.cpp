// The maintenance screen's work on the databases: the settings and the
// data path read and saved, the year-end update with its archive, and the
// bulk deletes.
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/Clock.h"
#include "core/CompanyInfo.h"
#include "core/DataFile.h"
#include "core/Failure.h"
#include "core/MainMenu.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "core/ScreenKit.h"
#include "maintenance/FrmHosyu.h"
#include "platform/db/FileCheck.h"
#include "platform/db/Transaction.h"
#include "platform/disk/FileOps.h"

namespace maintenance {

using core::Exec;
using core::MsgShow;
using core::Open;
using core::S;

namespace {

QString DateText(const QDate& date) { return date.toString(QStringLiteral("yyyy/MM/dd")); }

// The text of a field, or null when it is empty.
QVariant TextOrNull(const QString& text) { return text.isEmpty() ? QVariant() : QVariant(text); }

// True when the book holds a partner of exactly that name (its master row or
// a line of it), as the partner's delete compares names. A count that cannot
// be read counts as held: the delete then says its own failure.
bool PartnerHeld(const QString& partner) {
    for (const char16_t* table : {u"取引先マスタ", u"取引明細"}) {
        db::Recordset rs = Open(ModMurv::DbData, QStringLiteral("select count(*) as total from ") + S(table) +
                                                     S(u" where 取引先名 = ") + core::Quoted(partner));
        if (!rs.IsOpen() || rs.IsEOF() || rs.Value(0).toLongLong() > 0) return true;
    }
    return false;
}

bool RunAll(db::Database& data, const QStringList& statements) {
    for (const QString& sql : statements) {
        if (!Exec(data, sql)) return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- settings

bool FrmHosyu::ReadEnv() {
    db::Recordset rs = Open(ModMurv::DbWork, QStringLiteral("select * from 管理"));
    if (!rs.IsOpen()) {
        core::ShowFailure(S(u"データパスを読み込めませんでした。"), ModMurv::DbWork.LastFailure());
        return false;
    }
    if (!(rs.IsBOF() && rs.IsEOF())) {
        rs.MoveFirst();
        txtDataPath.SetText(rs.Value(QStringLiteral("DataPath")).toString());
    }
    return true;
}

bool FrmHosyu::Read自社情報() {
    if (!ModMurv::DbData.IsOpen()) return false;  // refused at start-up, said there
    db::Recordset rs = Open(ModMurv::DbData, QStringLiteral("select * from 自社情報"));
    if (!rs.IsOpen()) {
        core::ShowFailure(S(u"設定を読み込めませんでした。"), ModMurv::DbData.LastFailure());
        return false;
    }
    if (rs.IsBOF() || rs.IsEOF()) return false;
    const auto value = [&rs](const char16_t* field) { return rs.Value(S(field)); };
    const QVariant era = value(u"年号");
    cmb年号.SetText(era.isNull() ? S(u"西暦") : era.toString());
    // A title or period that is not stored leaves its field as it is.
    if (const QVariant title = value(u"タイトル"); !title.isNull()) txtタイトル.SetText(title.toString());
    if (const QVariant start = value(u"開始日"); !start.isNull()) txt開始.SetValue(start);
    if (const QVariant end = value(u"終了日"); !end.isNull()) txt終了.SetValue(end);
    const QVariant rounding = value(u"税端数");
    cmb税端数.SetText(rounding.isNull() ? S(u"切り捨て") : rounding.toString());
    txt税率.SetValue(StoredToPercent(value(u"税率")));
    txt税率2.SetValue(StoredToPercent(value(u"税率2")));
    txt税実施.SetValue(value(u"税実施"));
    return true;
}

bool FrmHosyu::Entry自社情報() {
    if (!MsgShow(S(u"登録"), S(u"確認"), S(u"設定"))) return false;
    // The old row goes only together with the new one's arrival.
    const bool stored = core::WriteAll(S(u"設定を登録できませんでした"), [this](db::Database& data) {
        if (!Exec(data, QStringLiteral("delete * from 自社情報"))) return false;
        db::Recordset rs = Open(data, QStringLiteral("select * from 自社情報"));
        bool ok = rs.IsOpen() && rs.AddNew();
        if (ok && !cmb年号.Text().isEmpty()) ok = rs.SetValue(S(u"年号"), cmb年号.Text());
        if (ok && !txtタイトル.Text().isEmpty()) ok = rs.SetValue(S(u"タイトル"), txtタイトル.Text());
        if (ok && !txt開始.IsNull()) ok = rs.SetValue(S(u"開始日"), DateText(txt開始.Date()));
        if (ok && !txt終了.IsNull()) ok = rs.SetValue(S(u"終了日"), DateText(txt終了.Date()));
        const QString rounding = cmb税端数.Text().isEmpty() ? S(u"切り捨て") : cmb税端数.Text();
        ok = ok && rs.SetValue(S(u"税端数"), rounding);
        ok = ok && rs.SetValue(S(u"税率"), PercentToStored(txt税率.Value()));
        ok = ok && rs.SetValue(S(u"税率2"), PercentToStored(txt税率2.Value()));
        ok = ok && rs.SetValue(S(u"税実施"), txt税実施.IsNull() ? QVariant() : QVariant(DateText(txt税実施.Date())));
        return ok && rs.Update();
    });
    if (stored) MsgShow(S(u"登録"), S(u"完了"), S(u"設定"));
    return stored;
}

bool FrmHosyu::EntryEnv() {
    // The row is rewritten in place (or made when there is none): one
    // statement, so the setting is never left without its row.
    db::Recordset rs = Open(ModMurv::DbWork, QStringLiteral("select * from 管理"));
    const bool stored = rs.IsOpen() && ((rs.IsBOF() || rs.IsEOF()) ? rs.AddNew() : rs.Edit()) &&
                        rs.SetValue(QStringLiteral("DataPath"), TextOrNull(txtDataPath.Text())) && rs.Update();
    if (!stored) {
        core::ShowFailure(S(u"データパスを登録できませんでした。"),
                          rs.LastFailure() ? rs.LastFailure() : ModMurv::DbWork.LastFailure());
    }
    return stored;
}

void FrmHosyu::Save() {
    if (!core::BookOpen() || !core::DatesReadable({&txt開始, &txt終了, &txt税実施})) return;
    // The title and the data path are stored whole or not at all.
    if (!core::AcceptTextLengths({txtタイトル.Text(), txtDataPath.Text()})) return;
    for (ui::NumberBox* rate : {&txt税率, &txt税率2}) {
        if (IsAcceptedPercent(rate->Value())) continue;
        MsgShow(S(u"その他"), S(u"メッセージ"), S(u"税率は 0 以上 100 未満の数（%）で入力してください。"));
        SSTab1.SetTab(kPage設定);
        rate->SetFocus();
        return;
    }
    Entry自社情報();
    // The data path is stored whatever the answer was.
    EntryEnv();
    ReloadSettings();
}

void FrmHosyu::ReloadSettings() {
    using namespace ModMurv;
    core::LoadCompanyInfo();
    TaxRate = core::ChooseTaxRate(core::Today());
    auto& menu = ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu"));
    if (!CompanyTitle.isNull() && !CompanyTitle.toString().isEmpty()) menu.LblTitle.SetCaption(CompanyTitle.toString());
    if (PeriodStart.isValid() && PeriodEnd.isValid()) {
        const QString format = EraSetting == u"西暦" ? S(u"yyyy年mm月dd日") : S(u"gggee年mm月dd日");
        menu.Lbl期間.SetCaption(core::MainMenu::PeriodText(PeriodStart, PeriodEnd, format));
    }
}

bool Delete自社情報(db::Database& data) {
    if (!Exec(data, QStringLiteral("delete * from 自社情報"))) return false;
    db::Recordset rs = Open(data, QStringLiteral("select * from 自社情報"));
    return rs.IsOpen() && rs.AddNew() && rs.SetValue(S(u"年号"), S(u"西暦")) &&
           rs.SetValue(S(u"明細リスト読込数"), qint16(20)) && rs.SetValue(S(u"開始日"), QVariant()) &&
           rs.SetValue(S(u"終了日"), QVariant()) && rs.SetValue(S(u"タイトル"), QVariant()) && rs.Update();
}

// ---------------------------------------------------------------- year-end update

bool FrmHosyu::Chk年次更新() {
    if (!core::BookOpen() || !core::DatesReadable({&dt今期開始, &dt今期終了, &dt次期開始, &dt次期終了})) return false;
    const std::pair<bool, QWidget*> inputs[] = {{dt今期開始.IsNull(), &dt今期開始},
                                                {dt今期終了.IsNull(), &dt今期終了},
                                                {dt次期開始.IsNull(), &dt次期開始},
                                                {dt次期終了.IsNull(), &dt次期終了},
                                                {txt今期タイトル.Text().isEmpty(), &txt今期タイトル},
                                                {txt次期タイトル.Text().isEmpty(), &txt次期タイトル}};
    for (const auto& [empty, control] : inputs) {
        if (!empty) continue;
        core::MsgEntry(S(u"チェック"), QString());
        control->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // A period typed backwards would archive nothing and still move on.
    const std::pair<ui::DateBox*, ui::DateBox*> periods[] = {{&dt今期開始, &dt今期終了}, {&dt次期開始, &dt次期終了}};
    for (const auto& [start, end] : periods) {
        if (end->Date() >= start->Date()) continue;
        MsgShow(S(u"その他"), S(u"メッセージ"),
                S(u"期間の終了日が開始日より前になっています。開始日と終了日を確認してください。"));
        end->SetFocus();
        return false;
    }
    // The ending period's title names its archive in the data folder.
    if (!ArchiveFileName(txt今期タイトル.Text())) {
        MsgShow(S(u"その他"), S(u"メッセージ"),
                S(u"今期タイトル「") + txt今期タイトル.Text().trimmed() +
                    S(u"」はデータの名称に使えません。区切り記号（/ \\）、「.」「..」、制御文字、"
                      u"プログラムのファイル名（MurvData2K など）やその作業ファイルの名前（.unpack- など）を"
                      u"含まない名称にしてください。"));
        txt今期タイトル.SetFocus();
        return false;
    }
    // The next period's title is stored as the company row's title.
    return core::AcceptTextLengths({txt今期タイトル.Text(), txt次期タイトル.Text()});
}

bool FrmHosyu::Exec更新() {
    using namespace ModMurv;
    if (!MsgShow(S(u"その他"), S(u"確認"), S(u"年次更新をします。よろしいですか。"))) return false;
    if (!QFileInfo::exists(OrgDataFilePath)) {
        MsgShow(S(u"その他"), S(u"メッセージ"), S(u"オリジナルファイルが見つかりません。"));
        return false;
    }
    const std::optional<QString> name = ArchiveFileName(txt今期タイトル.Text());
    if (!name) return false;  // Chk年次更新 said why
    const QString archive = DataFolder + *name;
    if (QFileInfo::exists(archive) &&
        !MsgShow(S(u"その他"), S(u"確認"), S(u"その名称のデータは既に存在します。上書きしてよろしいですか。")))
        return false;

    CnMsg.Begin();
    const auto hidePanel = [this] {
        CnMsg.End();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };

    // Both ends of the ending period, and what follows it.
    const QDate d1 = dt今期開始.Date(), d2 = dt今期終了.Date();
    const QDate nextStart = dt次期開始.Date(), nextEnd = dt次期終了.Date();
    const QString nextTitle = txt次期タイトル.Text();

    // The archive first, whole and checked; the lines leave the data file
    // only once it is in place.
    db::Failure error;
    if (!MakeYearEndArchive(DataFilePath, OrgDataFilePath, archive, d1, d2, &error)) {
        hidePanel();
        core::ShowFailure(
            S(u"年次更新のデータ ") + archive + S(u" を作成できませんでした。取引データは削除していません。"), error);
        return false;
    }
    // The archive is in place by now: a failure from here on leaves it, and says so.
    const QString archiveLeft =
        S(u"今期の取引データを削除できませんでした。取引データはそのまま残っています。\n年次更新のデータ ") + archive +
        S(u" は作成済みで、そのまま残っています。原因を取り除いてから「更新」をやり直してください（このデータは"
          u"上書きできます）。やり直さない場合は、このファイルを削除してください");
    const bool closed = core::WriteAll(archiveLeft, [&](db::Database& data) {
        if (!Exec(data, QStringLiteral("delete * from 取引明細") + PeriodCondition(d1, d2))) return false;
        db::Recordset rs = Open(data, QStringLiteral("select * from 自社情報"));
        if (!rs.IsOpen()) return false;
        bool ok = (rs.IsBOF() || rs.IsEOF()) ? rs.AddNew() : rs.Edit();
        if (ok && !nextTitle.isEmpty()) ok = rs.SetValue(S(u"タイトル"), nextTitle);
        if (ok && nextStart.isValid()) ok = rs.SetValue(S(u"開始日"), DateText(nextStart));
        if (ok && nextEnd.isValid()) ok = rs.SetValue(S(u"終了日"), DateText(nextEnd));
        return ok && rs.Update();
    });
    hidePanel();
    if (!closed) return false;

    // The next period is the current one now, on both pages.
    dt今期開始.SetDate(nextStart);
    dt今期終了.SetDate(nextEnd);
    txt今期タイトル.SetText(nextTitle);
    dt次期開始.SetDate(NextYear(nextStart));
    dt次期終了.SetDate(NextYear(nextEnd));
    txt次期タイトル.SetText(QString());
    txt開始.SetDate(nextStart);
    txt終了.SetDate(nextEnd);
    txtタイトル.SetText(nextTitle);

    ReloadSettings();
    MsgShow(S(u"その他"), S(u"メッセージ"), S(u"更新を終了しました。"));
    return true;
}

bool MakeYearEndArchive(const QString& dataPath, const QString& templatePath, const QString& archivePath,
                        const QDate& from, const QDate& to, db::Failure* error) {
    const auto fail = [error](const db::Failure& why) {
        *error = why;
        return false;
    };
    const auto failText = [&fail](const QString& why) { return fail({db::ErrorKind::Other, why}); };
    // The template receives the rows: one that is not the program's own (a
    // trigger of another's would act on them) is made afresh first.
    QString difference, why;
    if (db::CompareSchema(templatePath, core::SchemaStatements(core::DataFileKind::Template), &difference, &why) !=
        db::SchemaMatch::Same) {
        if (!core::MakeFileAfresh(templatePath, core::DataFileKind::Template, &why)) return failText(why);
        core::LogFailure(QStringLiteral("年次更新のひな形が経費帳のものではなかったため、作り直しました。"),
                         templatePath + QStringLiteral(": ") + (difference.isEmpty() ? why : difference));
    }
    // A copy of the template beside the archive's place, under a name of
    // its own; it is removed again unless it becomes the archive.
    QFile source(templatePath);
    errno = 0;
    if (!source.open(QIODevice::ReadOnly))
        return failText(disk::FailureText(templatePath, errno != 0 ? errno : ENOENT));
    QTemporaryFile temp(QFileInfo(archivePath).dir().filePath(core::kYearEndWorkPattern));
    temp.setAutoRemove(true);
    errno = 0;
    if (!temp.open())
        return failText(disk::FailureText(QFileInfo(archivePath).absolutePath(), errno != 0 ? errno : EACCES));
    // A write the disk cuts short counts as a full disk.
    while (!source.atEnd()) {
        errno = 0;
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty()) return failText(disk::FailureText(templatePath, errno != 0 ? errno : EIO));
        errno = 0;
        if (temp.write(block) != block.size())
            return failText(disk::FailureText(temp.fileName(), errno != 0 ? errno : ENOSPC));
    }
    errno = 0;
    if (!temp.flush()) return failText(disk::FailureText(temp.fileName(), errno != 0 ? errno : ENOSPC));
    temp.close();

    {
        db::Database archive;
        if (!archive.Open(temp.fileName())) return fail(archive.LastFailure());
        const QString in = core::InFile(dataPath);
        const QStringList tables = ArchiveTables();
        const auto condition = [&](const QString& table) {
            return table == tables.last() ? PeriodCondition(from, to) : QString();
        };
        // Every table must be the archive's own: a name the archive lacks
        // would be taken for the data file's table of that name.
        QStringList own;
        for (db::Recordset rs = Open(archive, QStringLiteral("select name from sqlite_master where type = 'table'"));
             !rs.IsEOF(); rs.MoveNext())
            own << rs.Value(0).toString();
        for (const QString& table : tables) {
            if (!own.contains(table))
                return failText(temp.fileName() + QStringLiteral(": the template has no table ") + table);
        }
        // What each table should receive (reading the data file through the
        // archive's connection also attaches it before the transaction).
        std::vector<qint64> expected;
        for (const QString& table : tables) {
            db::Recordset rs =
                Open(archive, QStringLiteral("select count(*) as total from ") + table + in + condition(table));
            if (!rs.IsOpen() || rs.IsEOF()) return fail(archive.LastFailure());
            expected.push_back(rs.Value(0).toLongLong());
        }
        db::Failure why;  // the copy is rolled back before it is said
        {
            db::Transaction transaction(archive);
            if (!transaction.Began()) why = archive.LastFailure();
            for (qsizetype i = 0; !why && i < tables.size(); ++i) {
                const QString& table = tables[i];
                const bool copied =
                    Exec(archive, QStringLiteral("insert into ") + table + QStringLiteral(" select * from ") + table +
                                      in + condition(table));
                const qint64 rows = archive.RecordsAffected();
                if (!copied || rows != expected[i])
                    why = copied ? db::Failure{db::ErrorKind::Other, QStringLiteral("%1: %2 of %3 rows copied")
                                                                         .arg(table)
                                                                         .arg(rows)
                                                                         .arg(expected[i])}
                                 : archive.LastFailure();
            }
            for (qsizetype i = 0; !why && i < tables.size(); ++i) {
                const qint64 held =
                    core::CountOf(archive, QStringLiteral("select count(*) as total from ") + tables[i]);
                if (held != expected[i])
                    why = {db::ErrorKind::Other, QStringLiteral("%1: the archive holds %2 rows, not %3")
                                                     .arg(tables[i])
                                                     .arg(held)
                                                     .arg(expected[i])};
            }
            if (!why && !transaction.Commit()) why = archive.LastFailure();
        }
        if (why) return fail(why);
        archive.Close();
    }

    // Readable as the data file is (a temporary file is its owner's only).
    if (!QFile::setPermissions(temp.fileName(), QFile::permissions(dataPath)))
        return failText(temp.fileName() + QStringLiteral(": the permissions cannot be set"));
    // Into place in one step, over an older archive of that name.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(archivePath).constData()) != 0)
        return failText(disk::FailureText(archivePath, errno));
    temp.setAutoRemove(false);
    // The archive is on the disk under its name before the period's lines leave the data file.
    if (!disk::SyncFolder(QFileInfo(archivePath).absolutePath(), &why)) return failText(why);
    return true;
}

// ---------------------------------------------------------------- bulk deletes

bool DeleteAll取引先情報(db::Database& data) { return RunAll(data, DeleteStatements(BulkDelete::Partners, {})); }
bool DeleteAll科目情報(db::Database& data) { return RunAll(data, DeleteStatements(BulkDelete::Items, {})); }
bool DeleteAll取引明細(db::Database& data) { return RunAll(data, DeleteStatements(BulkDelete::Lines, {})); }
bool Delete指定取引先情報(db::Database& data, const QString& partner) {
    return RunAll(data, DeleteStatements(BulkDelete::OnePartner, partner));
}
bool DeleteAllData(db::Database& data) {
    return RunAll(data, DeleteStatements(BulkDelete::Everything, {})) && Delete自社情報(data);
}

void FrmHosyu::RunBulkDelete(BulkDelete which) {
    if (!core::BookOpen()) return;
    const QString partner = txt取引先名.Text();
    if (which == BulkDelete::OnePartner && partner.isEmpty()) {
        MsgShow(S(u"その他"), S(u"メッセージ"), S(u"取引先名を指定してください"));
        return;
    }
    if (which == BulkDelete::OnePartner && !PartnerHeld(partner)) {
        MsgShow(S(u"その他"), S(u"メッセージ"),
                S(u"「") + partner + S(u"」という取引先はありません。何も削除していません。"));
        txt取引先名.SetFocus();
        return;
    }
    const QString subject = DeleteQuestionSubject(which, partner);
    if (!MsgShow(S(u"削除"), S(u"伝票確認2"), subject)) return;
    const bool deleted = core::WriteAll(subject + S(u"を削除できませんでした"), [&](db::Database& data) {
        switch (which) {
        case BulkDelete::Partners: return DeleteAll取引先情報(data);
        case BulkDelete::Items: return DeleteAll科目情報(data);
        case BulkDelete::Lines: return DeleteAll取引明細(data);
        case BulkDelete::Everything: return DeleteAllData(data);
        case BulkDelete::OnePartner: return Delete指定取引先情報(data, partner);
        }
        return false;
    });
    if (!deleted) return;
    MsgShow(S(u"削除"), S(u"伝票完了2"), DeleteCompletionSubject(which, partner));
    if (which == BulkDelete::OnePartner) txt取引先名.SetText(QString());
}

}  // namespace maintenance
