#include <gtest/gtest.h>

#include "maintenance/BackupRules.h"

namespace {

using namespace maintenance;

TEST(BackupRulesTest, DiskCountAndPieceSizesFollowTheSetFormat) {
    EXPECT_EQ(DiskCount(1000000), 1);
    EXPECT_EQ(DiskCount(1440000), 1);
    EXPECT_EQ(DiskCount(1440001), 2);
    EXPECT_EQ(DiskCount(2880000), 2);
    EXPECT_EQ(DiskCount(2880001), 3);

    // Pieces are 1,440,001 bytes except the last, which holds the rest (maybe nothing).
    struct Case {
        qint64 size;
        std::vector<qint64> pieces;
    } cases[] = {
        {1440001, {1440001, 0}},          {2000000, {1440001, 559999}},          {2880000, {1440001, 1439999}},
        {2880001, {1440001, 1440000, 0}}, {3440001, {1440001, 1440001, 559999}},
    };
    for (const Case& c : cases) {
        const int n = DiskCount(c.size);
        ASSERT_EQ(n, static_cast<int>(c.pieces.size())) << c.size;
        qint64 offset = 0;
        for (int k = 1; k <= n; ++k) {
            const PieceSpan span = PieceOf(k, n, c.size);
            EXPECT_EQ(span.offset, offset) << c.size << " piece " << k;
            EXPECT_EQ(span.length, c.pieces[k - 1]) << c.size << " piece " << k;
            offset += span.length;
        }
        EXPECT_EQ(offset, c.size);
    }
    EXPECT_EQ(PieceName(1), QStringLiteral("murv_d001"));
    EXPECT_EQ(PieceName(12), QStringLiteral("murv_d012"));
}

TEST(BackupRulesTest, ControlFileHoldsTheCountAndOnlyAPositiveWholeNumberIsACount) {
    EXPECT_EQ(ControlFileText(1), QByteArray("MurvFddNum= 1"));
    EXPECT_EQ(ControlFileText(1).size(), 13);
    EXPECT_EQ(ControlFileText(10), QByteArray("MurvFddNum= 10"));
    EXPECT_EQ(ControlFileText(10).size(), 14);

    EXPECT_EQ(DiskCountFromControl("MurvFddNum= 3"), 3);
    EXPECT_EQ(DiskCountFromControl("abcdefghijkl 12 "), 12);  // the first 12 characters are not compared
    EXPECT_EQ(DiskCountFromControl("MurvFddNum=   7\r\n"), 7);
    for (const QByteArray& bad : {QByteArray("MurvFddNum= 0"), QByteArray("MurvFddNum= -2"),
                                  QByteArray("MurvFddNum= 2.5"), QByteArray("MurvFddNum= "), QByteArray("MurvFddNum"),
                                  QByteArray("MurvFddNum= 3x"), QByteArray("MurvFddNum= 99999999999"), QByteArray()}) {
        EXPECT_FALSE(DiskCountFromControl(bad).has_value()) << bad.toStdString();
    }
    // Only the first 100 characters are read.
    EXPECT_FALSE(DiskCountFromControl(QByteArray("MurvFddNum= ") + QByteArray(90, ' ') + "5").has_value());
}

TEST(BackupRulesTest, OnlyTheSetsOwnFilesCountAsSetFiles) {
    for (const char* name : {"murvdata.lzh", "MURVDATA.LZH", "Murvctl", "murvctl", "murv_d001", "MURV_D123"})
        EXPECT_TRUE(IsSetFile(QString::fromLatin1(name))) << name;
    for (const char* name : {"photo.jpg", "murv_d1", "murv_d0001", "Murvdata.mdb", "murvctl.txt", "notes murvctl"})
        EXPECT_FALSE(IsSetFile(QString::fromLatin1(name))) << name;
    EXPECT_EQ(SetDiskPrompt(1, 3), QStringLiteral("1/ 3枚目のフロッピーディスクをセットしてください。"));
    EXPECT_EQ(SavingCaption(2, 3), QStringLiteral("2/ 3 枚目のフロッピーディスクに保存中です･･･"));
    EXPECT_EQ(ReadingCaption(10, 12), QStringLiteral("10/ 12 枚目のフロッピーディスクを読込中です･･･"));
}

}  // namespace
