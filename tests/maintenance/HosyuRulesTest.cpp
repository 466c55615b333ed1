// The maintenance screen's rules without a screen.
#include <gtest/gtest.h>

#include "maintenance/HosyuRules.h"
#include "tests/QtPrint.h"

namespace {

using namespace maintenance;

QDate D(int y, int m, int d) { return QDate(y, m, d); }

TEST(HosyuRulesTest, TheProposedEndIsTheLastDayOfTheEleventhMonthAfterTheStart) {
    EXPECT_EQ(ProposedPeriodEnd(D(2006, 4, 1)), D(2007, 3, 31));
    EXPECT_EQ(ProposedPeriodEnd(D(2006, 2, 15)), D(2007, 1, 31));
    EXPECT_EQ(ProposedPeriodEnd(D(2007, 3, 10)), D(2008, 2, 29));
    EXPECT_EQ(ProposedPeriodEnd(D(2006, 1, 31)), D(2006, 12, 31));
    EXPECT_FALSE(ProposedPeriodEnd(QDate()).isValid());
    EXPECT_EQ(NextYear(D(2006, 4, 1)), D(2007, 4, 1));
    EXPECT_EQ(NextYear(D(2008, 2, 29)), D(2009, 2, 28));
    EXPECT_FALSE(NextYear(QDate()).isValid());
}

TEST(HosyuRulesTest, RatesAreTypedInPercentAndStoredAsFractionsFromZeroToBelowAHundred) {
    EXPECT_DOUBLE_EQ(PercentToStored(5).toDouble(), 0.05);
    EXPECT_DOUBLE_EQ(PercentToStored(10).toDouble(), 0.1);
    EXPECT_DOUBLE_EQ(PercentToStored(7).toDouble(), 0.07);
    EXPECT_DOUBLE_EQ(PercentToStored(2.5).toDouble(), 0.025);
    EXPECT_TRUE(PercentToStored(QVariant()).isNull());
    // Shown back without the noise of the fraction.
    EXPECT_EQ(StoredToPercent(0.07).toDouble(), 7.0);
    EXPECT_EQ(StoredToPercent(0.08).toDouble(), 8.0);
    EXPECT_EQ(StoredToPercent(0.025).toDouble(), 2.5);
    EXPECT_TRUE(StoredToPercent(QVariant()).isNull());

    EXPECT_TRUE(IsAcceptedPercent(QVariant()));
    EXPECT_TRUE(IsAcceptedPercent(0));
    EXPECT_TRUE(IsAcceptedPercent(99.99));
    EXPECT_FALSE(IsAcceptedPercent(100));
    EXPECT_FALSE(IsAcceptedPercent(-0.5));
}

TEST(HosyuRulesTest, AnArchiveIsNamedAfterTheTrimmedTitleUnlessTheTitleCannotNameAFileOfTheDataFolder) {
    EXPECT_EQ(ArchiveFileName(QStringLiteral("  2005年度 ")), QStringLiteral("2005年度.mdb"));
    EXPECT_EQ(ArchiveFileName(QStringLiteral("　第10期　")), QStringLiteral("第10期.mdb"));
    EXPECT_EQ(ArchiveFileName(QStringLiteral("O'Hara 2005")), QStringLiteral("O'Hara 2005.mdb"));
    EXPECT_EQ(ArchiveFileName(QStringLiteral("MurvData2K.old")), QStringLiteral("MurvData2K.old.mdb"));
    for (const char* refused :
         {"", "   ", ".", "..", " .. ", "2005/2006", "..\\..\\x", "a\tb", "a\nb", "MurvData2K", "murvdata2k",
          "MURVWORK2K", "OrgMurvData2K", "orgmurvdata2k.MDB", "MurvData2K.mdb", "Murvdata"}) {
        EXPECT_EQ(ArchiveFileName(QString::fromUtf8(refused)), std::nullopt) << refused;
    }
    EXPECT_EQ(ArchiveFileName(QString(84, u'期')), std::nullopt) << "longer than a file name";
    EXPECT_EQ(ArchiveFileName(QString(83, u'期')), QString(83, u'期') + QStringLiteral(".mdb"));
}

}  // namespace
