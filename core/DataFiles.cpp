#include "core/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

#include "core/DataFile.h"
#include "core/Failure.h"
#include "core/ModMurv.h"
#include "core/Schema.h"
#include "core/ScreenKit.h"
#include "platform/db/FileCheck.h"

namespace core {

namespace {

// The folder of the work file's copy when the data folder cannot be written;
// it lives for the rest of the run.
std::unique_ptr<QTemporaryDir>& WorkCopyFolder() {
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

bool CanWrite(const QString& path) {
    const QFileInfo file(path);
    return file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
}

QString Name(const QString& path) {
    return QStringLiteral("「") + QDir::toNativeSeparators(path) + QStringLiteral("」");
}

class Checker {
public:
    Checker(bool show, DataFilesOutcome& out) : show_(show), out_(out) {}

    void Problem(const QString& problem, const db::Failure& failure = {}) {
        const QString what = advised_ && !advised_->IsOpen() ? problem + advice_ : problem;
        out_.problems << what;
        if (show_) ShowFailure(what, failure);
        else LogFailure(what, failure);
    }
    // While set, a problem that leaves `database` closed ends with `advice`.
    void Advise(const db::Database* database, const QString& advice) {
        advised_ = database;
        advice_ = advice;
    }

    // The tables of `tables` that the open file lacks.
    static QStringList MissingTables(db::Database& database, const std::vector<TableDef>& tables) {
        QStringList missing;
        for (const TableDef& t : tables)
            if (database.TableFields(t.name).empty()) missing << t.name;
        return missing;
    }

    // Opens a file that must be one of ours; false (closed, message) otherwise.
    // With the statements of its schema, a file whose schema or values are
    // not the program's own is refused before it is opened (opening converts
    // an older file); unread then says why its schema could not be read
    // (empty when it was read).
    bool OpenOurs(db::Database& database, const QString& path, const QString& role, const QString& schema = {},
                  QString* unread = nullptr) {
        rolledBack_ = false;
        if (!QFileInfo(path).isFile()) {
            Problem(role + Name(path) + QStringLiteral("が見つかりません。"));
            return false;
        }
        if (!HasDatabaseHeader(path)) {
            Problem(Name(path) + QStringLiteral("は経費帳の") + role +
                    QStringLiteral("ではありません。このファイルは開かず、変更もしていません。"));
            return false;
        }
        if (!schema.isEmpty()) {
            QString difference, detail;
            // A commit cut short by a crash is rolled back first, as every open does.
            const db::SchemaMatch match = db::CompareSchema(path, schema, &difference, &detail, &rolledBack_);
            if (match == db::SchemaMatch::Differs) {
                Problem(Name(path) + QStringLiteral("は") + role + QStringLiteral("として使えません。") + difference +
                        Untouched(QStringLiteral("このファイルは開かず、変更もしていません。"),
                                  QStringLiteral("このファイルは開いていません。")));
                return false;
            }
            // Damage is found by the page check below.
            if (match == db::SchemaMatch::Unreadable) *unread = detail;
        }
        if (!database.Open(path)) {
            const db::Failure error = database.LastFailure();
            if (error.kind == db::ErrorKind::NotADatabase)
                Problem(Name(path) + QStringLiteral("は経費帳の") + role +
                            QStringLiteral("ではありません。このファイルは開かず、変更もしていません。"),
                        error);
            else Problem(role + Name(path) + QStringLiteral("を開けません。"), error);
            return false;
        }
        return true;
    }

    bool CheckTables(db::Database& database, const QString& path, const std::vector<TableDef>& tables,
                     const QString& role) {
        const QStringList missing = MissingTables(database, tables);
        if (missing.isEmpty()) return true;
        database.Close();
        Problem(Name(path) + QStringLiteral("は経費帳の") + role + QStringLiteral("ではありません（表 ") +
                missing.join(QStringLiteral("、")) +
                QStringLiteral(" がありません）。このファイルは開かず、変更もしていません。"));
        return false;
    }

    // PRAGMA quick_check: true when the file is sound.
    bool QuickCheck(db::Database& database, db::Failure* detail) {
        db::Recordset rs = Open(database, QStringLiteral("select * from pragma_quick_check"));
        if (!rs.IsOpen()) {
            *detail = db::FirstOf(rs.LastFailure(), database.LastFailure());
            return false;
        }
        QStringList findings;
        for (; !rs.IsEOF(); rs.MoveNext()) findings << rs.Value(0).toString();
        if (findings == QStringList{QStringLiteral("ok")}) return true;
        // What the check found is damage.
        *detail = {db::ErrorKind::Corrupt, findings.mid(0, 3).join(QStringLiteral("; "))};
        if (!detail->text.contains(u"malformed")) detail->text += QStringLiteral(" (database disk image is malformed)");
        return false;
    }

    // What start-up did to a file it found: nothing (unchanged), or, when a
    // hot journal was beside it, the rollback of a commit cut short, which
    // is said instead (after `instead`).
    QString Untouched(const QString& unchanged, const QString& instead) const {
        return rolledBack_ ? instead + QStringLiteral("途中で止まっていた前回の書き込みは取り消してあります。")
                           : unchanged;
    }

private:
    bool show_;
    DataFilesOutcome& out_;
    bool rolledBack_ = false;
    const db::Database* advised_ = nullptr;
    QString advice_;
};

// The work file holds nothing that lasts: one that is not the program's own
// (db::CompareSchema) is made afresh, and so is a damaged one (it is written
// without disk syncs, so a crash of the machine may leave it so), said once
// in the log; the data path kept in it stays when it can be read. False
// (said) when a file that is not the program's own cannot be made afresh:
// it is then not opened.
bool RemakeWorkFileUnlessOurs(Checker& check) {
    const QString& path = ModMurv::WorkFilePath;
    if (!QFileInfo(path).isFile() || !HasDatabaseHeader(path)) return true;
    QString difference, compared;
    const bool ours = db::CompareSchema(path, SchemaStatements(DataFileKind::Work), &difference, &compared) !=
                      db::SchemaMatch::Differs;
    db::Failure detail{db::ErrorKind::Other, compared};
    QVariant dataPath;
    {
        db::Database work;
        if (work.Open(path)) {
            if (ours && check.QuickCheck(work, &detail)) return true;
            db::Recordset rs = Open(work, QStringLiteral("select DataPath from 管理"));
            if (rs.IsOpen() && !rs.IsEOF()) dataPath = rs.Value(0);
        } else if (ours) {
            detail = work.LastFailure();
            if (work.LastErrorKind() != db::ErrorKind::Corrupt && work.LastErrorKind() != db::ErrorKind::NotADatabase)
                return true;
        }
    }
    // The data path kept in it goes into the new file before it takes the name, when it can.
    const auto keepDataPath = [&dataPath](db::Database& fresh) {
        if (!dataPath.isNull())
            (void)Exec(fresh, QStringLiteral("update 管理 set DataPath = ") + Quoted(dataPath.toString()));
        return true;
    };
    QString error;
    if (!MakeFileAfresh(path, DataFileKind::Work, &error, keepDataPath)) {
        if (ours) return true;  // opened as it is, and said there when it cannot be
        check.Problem(Name(path) + QStringLiteral("は作業ファイルとして使えません。") + difference +
                          QStringLiteral("作り直すこともできなかったため、開いていません。"),
                      {db::ErrorKind::Other, error});
        return false;
    }
    LogFailure(ours ? QStringLiteral("作業ファイルが壊れていたため、作り直しました。")
                    : QStringLiteral("作業ファイルが経費帳のものではなかったため、作り直しました。"),
               path + QStringLiteral(": ") + (ours ? detail.text : difference));
    return true;
}

// A second guard: the write block set beside it already stops every write, so
// a refused pragma changes nothing the user meets.
void ReadOnly(db::Database& database) { (void)database.ExecuteNative(QStringLiteral("PRAGMA query_only = ON")); }

}  // namespace

bool HasDatabaseHeader(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

DataFilesOutcome OpenDataFiles(bool show) {
    using namespace ModMurv;
    DataFilesOutcome out;
    Checker check(show, out);
    SetDataWriteBlock(QString());

    // ---- the data file
    const QString dataRole = QStringLiteral("データファイル");
    // A data file not opened leaves the maintenance screen as the way on.
    check.Advise(&DbData, kRecoverBookAdvice);
    QString schemaUnread;
    if (check.OpenOurs(DbData, DataFilePath, dataRole, SchemaStatements(DataFileKind::Data), &schemaUnread)) {
        db::Failure detail;
        if (!check.QuickCheck(DbData, &detail)) {
            if (detail.kind == db::ErrorKind::NotADatabase) {
                DbData.Close();
                check.Problem(Name(DataFilePath) + QStringLiteral("は経費帳のデータファイルではありません。") +
                                  check.Untouched(QStringLiteral("このファイルは開かず、変更もしていません。"),
                                                  QStringLiteral("このファイルは開いていません。")),
                              detail);
            } else {
                out.damaged = true;
                ReadOnly(DbData);
                const QString reason = QStringLiteral("データファイル") + Name(DataFilePath) +
                                       QStringLiteral("が壊れているため、書き込みをしていません。");
                SetDataWriteBlock(reason);
                check.Problem(QStringLiteral("データファイル") + Name(DataFilePath) +
                                  QStringLiteral("が壊れています。") +
                                  check.Untouched(QStringLiteral("このファイルは変更していません。"), QString()) +
                                  QStringLiteral("データは表示できる範囲で表示しますが、変更はできません。") +
                                  QStringLiteral("バックアップから復元してください。"),
                              detail);
            }
        } else if (!schemaUnread.isEmpty()) {
            // Sound, and still its schema could not be read: not taken.
            DbData.Close();
            check.Problem(Name(DataFilePath) + QStringLiteral("はデータファイルとして使えません。") +
                              check.Untouched(QStringLiteral("このファイルは変更していません。"),
                                              QStringLiteral("このファイルは使っていません。")),
                          {db::ErrorKind::Other, schemaUnread});
        } else {
            if (!CanWrite(DataFilePath)) {
                ReadOnly(DbData);
                SetDataWriteBlock(QStringLiteral("データファイル") + Name(DataFilePath) +
                                  QStringLiteral("またはそのフォルダが読み取り専用のため、書き込めません。"));
                check.Problem(QStringLiteral("データファイル") + Name(DataFilePath) +
                              QStringLiteral("またはそのフォルダに書き込めません。") +
                              QStringLiteral("データは表示できますが、変更はできません。"));
            } else {
                out.dataWritable = true;
            }
        }
        out.dataOpen = DbData.IsOpen();
    }

    check.Advise(nullptr, QString());

    // ---- the work file: scratch rows, used from a copy when it cannot be written
    const QString workRole = QStringLiteral("作業ファイル");
    if (QFileInfo(WorkFilePath).isFile() && HasDatabaseHeader(WorkFilePath) && !CanWrite(WorkFilePath)) {
        auto& folder = WorkCopyFolder();
        folder = std::make_unique<QTemporaryDir>();
        const QString copy = folder->isValid() ? folder->filePath(kWorkFileName) : QString();
        if (!copy.isEmpty() && QFile::copy(WorkFilePath, copy)) {
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
            LogFailure(QStringLiteral("作業ファイルに書き込めないため、一時フォルダの複製を使います。"),
                       WorkFilePath + QStringLiteral(" -> ") + copy);
            WorkFilePath = copy;
        }
    }
    if (RemakeWorkFileUnlessOurs(check) && check.OpenOurs(DbWork, WorkFilePath, workRole) &&
        check.CheckTables(DbWork, WorkFilePath, WorkTables(), workRole))
        // Scratch rows (see platform/db/Scratch.h): a refused pragma only writes more slowly.
        (void)DbWork.ExecuteNative(QStringLiteral("PRAGMA synchronous = OFF"));
    out.workOpen = DbWork.IsOpen();
    return out;
}

}  // namespace core
