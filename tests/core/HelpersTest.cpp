#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <vector>

#include "core/Helpers.h"
#include "core/ModMurv.h"

namespace {

TEST(HelpersTest, ProgressAdvancesInTenths) {
    // Percent after records 1, 2, ... (starting from 10) and the interval.
    struct {
        QVariant total;
        qint64 interval;
        std::vector<int> percents;
    } const cases[] = {
        {45, 5, {10, 10, 10, 10, 20, 20, 20, 20, 20, 30}},
        {4, 1, {20, 30, 40, 50}},
        {11, 1, {20, 30, 40, 50, 60, 70, 80, 90, 100, 100, 100}},
        {14, 2, {10, 20, 20, 30, 30, 40}},
        {0, 0, {10, 10}},
        {QVariant(), 0, {10, 10}},
        {40.5, 4, {10, 10, 10, 20}},
        {49.5, 6, {10, 10, 10, 10, 10, 20}},
    };
    for (const auto& c : cases) {
        ModMurv::ResetState();
        ModMurv::ProgressTotal = c.total;
        ModMurv::ProgressPercent = 10;
        std::vector<int> seen;
        for (qint64 i = 1; i <= qint64(c.percents.size()); ++i) {
            core::ProgressStep(i);
            seen.push_back(ModMurv::ProgressPercent.toInt());
        }
        EXPECT_EQ(seen, c.percents) << c.total.toDouble();
        EXPECT_EQ(ModMurv::ProgressInterval.toLongLong(), c.interval) << c.total.toDouble();
    }
    for (qint64 i = 1; i <= 60; ++i) core::ProgressStep(i);  // total 49.5: stops at 100
    EXPECT_EQ(ModMurv::ProgressPercent.toInt(), 100);
    ModMurv::ResetState();
}

TEST(HelpersTest, FormStackKeepsTheFiveNewestNames) {
    ModMurv::ResetState();
    for (const char* name : {"P1", "P2", "P3", "P4", "P5", "P6"})
        EXPECT_EQ(core::FormStack(QStringLiteral("PUSH"), QString::fromLatin1(name)), QVariant(true));
    EXPECT_TRUE(core::FormStack(QStringLiteral("PUSH"), QString()).isNull());
    EXPECT_EQ(core::FormStack(QStringLiteral("push"), QStringLiteral("P7")), QVariant(true));
    const std::array<QString, 7> expected{"P6", "P5", "P4", "P3", "P2", "", ""};
    EXPECT_EQ(ModMurv::FormNameStack, expected);
    ModMurv::ResetState();
}

TEST(HelpersTest, StrExtractModes) {
    const QString nul(QChar(u'\0'));
    struct {
        QString source;
        QVariant separator;
        int mode;
        QVariant expected;
    } const cases[] = {
        {"abc|def", "|", 0, "def"},
        {"abc|def", "|", 1, "abcdef"},
        {"abc|def", "|", 2, "abc"},
        {"abc|def", "|", 4, QVariant()},
        {"abc", "|", 0, "abc"},
        {"abc", "|", 7, "abc"},
        {"ab<>cd", "<>", 0, ">cd"},
        {"ab<>cd", "<>", 1, "ab>cd"},
        {"a1b2c3", "|", 3, "123"},
        {"", "|", 3, ""},
        {"c:\\my data\\x.mdb" + QString(240, u' '), " ", 2, "c:\\my"},
        {"name" + nul + "x", 0, 2, "name"},
        {"name", 0, 2, "name"},
        {nul + "x", 0, 2, QVariant()},
        {"a0b", 0, 0, "b"},
    };
    for (const auto& c : cases) {
        const QVariant got = core::StrExtract(c.source, c.separator, c.mode);
        EXPECT_EQ(got.isNull(), c.expected.isNull()) << c.source.toStdString() << " " << c.mode;
        EXPECT_EQ(got.toString(), c.expected.toString()) << c.source.toStdString() << " " << c.mode;
    }
}

TEST(HelpersTest, FileSizeOrMinusOne) {
    QTemporaryDir dir;
    QFile empty(dir.filePath("empty")), large(dir.filePath("large"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly) && large.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(core::GetFileSizeByName(dir.filePath("missing")), -1);
    EXPECT_EQ(core::GetFileSizeByName(dir.path()), -1);
    EXPECT_EQ(core::GetFileSizeByName(empty.fileName()), 0);
    const qint64 size = (Q_INT64_C(5) << 30) + 7;  // past 32 bits
    if (!large.resize(size)) GTEST_SKIP() << "no sparse 5 GiB file here";
    large.close();
    EXPECT_EQ(core::GetFileSizeByName(large.fileName()), size);
}

}  // namespace
