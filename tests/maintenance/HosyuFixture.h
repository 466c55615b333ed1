#pragma once
// The maintenance screen opened from the main menu over a temporary data
// folder, with the entry screen and the catalogue it leads to, and reads of
// the data file, the work file and archives.

#include <QApplication>

#include "core/MainMenu.h"
#include "core/Screens.h"
#include "entry/FrmInput.h"
#include "maintenance/FrmHosyu.h"
#include "masters/FrmKanjoKamoku.h"
#include "platform/db/Quote.h"
#include "platform/ui/FileDialogs.h"
#include "tests/support/Drivers.h"
#include "tests/support/ScreenFixture.h"

namespace test {

class HosyuTest : public ScreenTest {
protected:
    using F = maintenance::FrmHosyu;
    using Answer = ui::Answer;

    void SetUp() override {
        ScreenTest::SetUp();
        core::RegisterScreen(QStringLiteral("FrmHosyu"),
                             []() -> ui::Form& { return ui::Forms::Get<F>(QStringLiteral("FrmHosyu")); });
        core::RegisterScreen(QStringLiteral("FrmInput"),
                             []() -> ui::Form& { return ui::Forms::Get<entry::FrmInput>(QStringLiteral("FrmInput")); });
        core::RegisterScreen(QStringLiteral("Frm勘定科目"), []() -> ui::Form& {
            return ui::Forms::Get<masters::FrmKanjoKamoku>(QStringLiteral("Frm勘定科目"));
        });
        qputenv("MURV_COM_REGISTRY", QFile::encodeName(registry_.filePath(QStringLiteral("classes.reg"))));
        previousDialogs_ = ui::SetFileDialogPresenter(&dialogs_);
    }
    void TearDown() override {
        ui::SetFileDialogPresenter(previousDialogs_);
        qunsetenv("MURV_COM_REGISTRY");
        ScreenTest::TearDown();
        for (const char* form : {"FrmHosyu", "FrmInput", "Frm勘定科目"})
            core::UnregisterScreen(QString::fromUtf8(form));
    }

    // Sets the company row before the screen loads it.
    void SetCompany(const QString& assignments) { ExecData(QStringLiteral("update 自社情報 set ") + assignments); }

    core::MainMenu& Menu() { return ui::Forms::Get<core::MainMenu>(QStringLiteral("MainMenu")); }

    // The menu, then its 保守 button.
    F& Open() {
        Menu().Show();
        QTest::mouseClick(&Menu().cmd保守, Qt::LeftButton);
        F* screen = qobject_cast<F*>(ui::Forms::Find(QStringLiteral("FrmHosyu")));
        EXPECT_NE(screen, nullptr);
        QApplication::setActiveWindow(screen);
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen, 1000));
        return *screen;
    }

    void Press(QAbstractButton& button, std::initializer_list<Answer> answers = {}) {
        for (Answer a : answers) boxes_.QueueAnswer(a);
        QTest::mouseClick(&button, Qt::LeftButton);
    }
    // Types into a field as the keyboard would: ASCII by keys, anything
    // else as the input method commits it.
    static void TypeInto(QWidget* field, const QString& text) { test::TypeInto(field, text); }
    // Empties a field and types the text into it.
    static void Retype(QWidget* field, const QString& text) {
        QWidget* target = field->focusProxy() ? field->focusProxy() : field;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Delete);
        TypeInto(field, text);
    }
    // Moves the focus on, as Tab does.
    static void Leave(QWidget* field) {
        QWidget* target = field->focusProxy() ? field->focusProxy() : field;
        QTest::keyClick(target, Qt::Key_Tab);
    }

    // ---- the data file, the work file and archives
    void AddLine(const QString& date, const QString& partner, const QString& item, double amount) {
        ExecData(QStringLiteral("insert into 取引明細 (行番号, 日付, 取引先名, 科目, 金額, 税額, 非課税) "
                                "values (1, #%1#, '%2', '%3', %4, %5, False)")
                     .arg(date, db::SqlEscape(partner), db::SqlEscape(item))
                     .arg(amount)
                     .arg(qint64(amount / 21)));
    }
    // The rows of a select (on the data file unless another is named),
    // fields joined by "/", null as "-".
    QStringList Rows(const QString& sql, const QString& file = QString()) {
        db::Database d;
        if (!d.Open(file.isEmpty() ? DataFile() : file)) return {QStringLiteral("<cannot open>")};
        QStringList rows;
        db::Recordset rs = d.OpenRecordset(sql);
        if (!rs.IsOpen()) return {QStringLiteral("<fails>")};
        for (; !rs.IsEOF(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i) fields << Shown(rs.Value(i));
            rows << fields.join(u'/');
        }
        return rows;
    }
    QStringList WorkRows(const QString& sql) { return Rows(sql, WorkFile()); }
    static QString Shown(const QVariant& v) {
        if (v.isNull()) return QStringLiteral("-");
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        if (v.typeId() == QMetaType::Bool) return QString::number(int(v.toBool()));
        return v.toString();
    }
    QString ArchivePath(const QString& name) const { return QDir(DataFolder()).filePath(name); }
    // The files of the data folder, sorted, hidden ones included.
    QStringList DataFolderFiles() const {
        return QDir(DataFolder()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList Texts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }

    QTemporaryDir registry_;
    ui::ScriptedFileDialogPresenter dialogs_;

private:
    ui::FileDialogPresenter* previousDialogs_ = nullptr;
};

}  // namespace test
