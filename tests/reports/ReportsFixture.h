#pragma once
// What the report tests share: a fresh data folder with both connections
// open, a scripted print service, statements on the two files, and the
// drawn items of a recorded job by control.

#include <QDir>

#include "core/ModMurv.h"
#include "platform/report/PrintService.h"
#include "reports/PrintHandOffs.h"
#include "reports/Reports.h"
#include "tests/support/ScreenFixture.h"

namespace test {

class ReportsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ModMurv::DataFolder = DataFolder() + u'/';
        ModMurv::DataFilePath = DataFile();
        ModMurv::WorkFilePath = WorkFile();
        ASSERT_TRUE(ModMurv::DbData.Open(DataFile()));
        ASSERT_TRUE(ModMurv::DbWork.Open(WorkFile()));
        previousPrinter_ = report::SetPrintService(&printer_);
    }
    void TearDown() override {
        report::SetPrintService(previousPrinter_);
        ScreenTest::TearDown();
    }

    static void Work(const QString& sql) {
        ASSERT_TRUE(ModMurv::DbWork.Execute(sql))
            << sql.toStdString() << ": " << ModMurv::DbWork.LastError().toStdString();
    }
    static void Data(const QString& sql) {
        ASSERT_TRUE(ModMurv::DbData.Execute(sql))
            << sql.toStdString() << ": " << ModMurv::DbData.LastError().toStdString();
    }

    // The rows of a select on the work database, fields joined by "/".
    static QStringList WorkRows(const QString& sql) {
        QStringList rows;
        for (db::Recordset rs = ModMurv::DbWork.OpenRecordset(sql); !rs.IsEOF(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.FieldCount(); ++i) fields << rs.Value(i).toString();
            rows << fields.join(u'/');
        }
        return rows;
    }

    const report::Pages& JobPages(size_t job) const { return *printer_.Jobs().at(job).pages; }
    // The texts a control drew on a page of a recorded job.
    QStringList Texts(size_t job, size_t page, const QString& control) const {
        return report::TextsOf(JobPages(job).pages.at(page), control);
    }
    QString Text(size_t job, size_t page, const QString& control) const {
        const QStringList t = Texts(job, page, control);
        return t.size() == 1 ? t.front() : QStringLiteral("<%1 items>").arg(t.size());
    }
    const report::DrawnItem& Item(size_t job, size_t page, const QString& control, size_t n = 0) const {
        return *report::ItemsOf(JobPages(job).pages.at(page), control).at(n);
    }
    // Every text of one control over all pages of a job.
    QStringList AllTexts(size_t job, const QString& control) const {
        QStringList t;
        for (size_t p = 0; p < JobPages(job).pages.size(); ++p) t << Texts(job, p, control);
        return t;
    }
    QStringList BoxTexts() const {
        QStringList t;
        for (const auto& b : boxes_.Shown()) t << b.text;
        return t;
    }

    report::ScriptedPrintService printer_;

private:
    report::PrintService* previousPrinter_ = nullptr;
};

}  // namespace test
