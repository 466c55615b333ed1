#pragma once
// What the screen tests share: a temporary program folder with a fresh data
// folder, a pinned "today", scripted message boxes, and a clean program state
// and form registry after each test.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "core/Clock.h"
#include "core/ModMurv.h"
#include "core/Paths.h"
#include "core/Schema.h"
#include "platform/ui/Form.h"
#include "platform/ui/MessagePresenter.h"
#include "platform/ui/Shell.h"
#include "tests/QtPrint.h"

namespace test {

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QString error;
        ASSERT_TRUE(core::MakeDataFolder(DataFolder(), nullptr, &error)) << error.toStdString();
        core::SetProgramFolder(folder_.path());
        core::SetToday(QDate(2026, 12, 9));
        previousPresenter_ = ui::SetPresenter(&boxes_);
        previousOpener_ = ui::SetUrlOpener([this](const QUrl& url) {
            openedUrls_ << url;
            return true;
        });
    }
    void TearDown() override {
        ui::Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ModMurv::ResetState();
        ui::SetPresenter(previousPresenter_);
        ui::SetUrlOpener(previousOpener_);
        core::SetProgramFolder(QString());
        core::SetToday(QDate());
    }

    QString DataFolder() const { return QDir(folder_.path()).filePath(QStringLiteral("data")); }
    QString DataFile() const { return QDir(DataFolder()).filePath(core::kDataFileName); }
    QString WorkFile() const { return QDir(DataFolder()).filePath(core::kWorkFileName); }

    // Runs a statement on the data file through a connection of its own.
    void ExecData(const QString& sql) {
        db::Database d;
        ASSERT_TRUE(d.Open(DataFile()));
        ASSERT_TRUE(d.Execute(sql)) << d.LastError().toStdString();
    }
    qint64 CountData(const QString& sql) {
        db::Database d;
        EXPECT_TRUE(d.Open(DataFile()));
        return d.OpenRecordset(sql).RecordCount();
    }

    QTemporaryDir folder_;
    ui::ScriptedPresenter boxes_;
    QList<QUrl> openedUrls_;

private:
    ui::MessagePresenter* previousPresenter_ = nullptr;
    ui::UrlOpener previousOpener_;
};

}  // namespace test
