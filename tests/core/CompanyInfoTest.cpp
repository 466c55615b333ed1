// Company settings loaded from the data file, and the tax rate in force.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/CompanyInfo.h"
#include "core/ModMurv.h"
#include "core/Schema.h"
#include "tests/QtPrint.h"

namespace {

class CompanyInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModMurv::ResetState();
        QString error;
        ASSERT_TRUE(core::MakeDataFolder(dir_.path(), nullptr, &error));
        ASSERT_TRUE(ModMurv::DbData.Open(QDir(dir_.path()).filePath(core::kDataFileName)));
    }
    void TearDown() override { ModMurv::ResetState(); }
    void Exec(const QString& sql) { ASSERT_TRUE(ModMurv::DbData.Execute(sql)) << sql.toStdString(); }

    QTemporaryDir dir_;
};

TEST_F(CompanyInfoTest, BeforeAnyLoadTheSettingsHoldTheirDefaults) {
    ModMurv::DbData.Close();
    core::LoadCompanyInfo();  // nothing to read: nothing changes
    EXPECT_EQ(ModMurv::EraSetting, QStringLiteral("西暦"));
    EXPECT_FALSE(ModMurv::PeriodStart.isValid());
    EXPECT_TRUE(ModMurv::CompanyTitle.isNull());
    EXPECT_EQ(ModMurv::TaxKind, QStringLiteral("外税"));
    EXPECT_EQ(ModMurv::TaxRounding, QStringLiteral("切り捨て"));
    EXPECT_EQ(core::ChooseTaxRate(QDate(2026, 1, 1)), 0.05);
}

TEST_F(CompanyInfoTest, AnAllNullRowLoadsTheDefaults) {
    Exec(QStringLiteral("delete * from 自社情報"));
    Exec(QStringLiteral("insert into 自社情報 (明細リスト読込数) values (null)"));
    ModMurv::EraSetting = QStringLiteral("和暦");
    ModMurv::CompanyTitle = QStringLiteral("old");
    core::LoadCompanyInfo();
    EXPECT_EQ(ModMurv::EraSetting, QStringLiteral("西暦"));
    EXPECT_FALSE(ModMurv::PeriodStart.isValid());
    EXPECT_FALSE(ModMurv::PeriodEnd.isValid());
    EXPECT_TRUE(ModMurv::CompanyTitle.isNull());
    EXPECT_EQ(ModMurv::TaxKind, QStringLiteral("外税"));
    EXPECT_EQ(ModMurv::TaxRounding, QStringLiteral("切り捨て"));
    EXPECT_TRUE(ModMurv::TaxRate1.isNull());
    EXPECT_TRUE(ModMurv::TaxRate2.isNull());
    EXPECT_TRUE(ModMurv::TaxChangeDate.isNull());
}

TEST_F(CompanyInfoTest, AFullRowLoadsAndOnlyTheFirstOfTwoRowsCounts) {
    Exec(
        QStringLiteral("update 自社情報 set 年号 = '和暦', 開始日 = #2005/04/01#, 終了日 = #2006/03/31#, "
                       "タイトル = '山田商店', 税端数 = '四捨五入', 税率 = 0.05, 税率2 = 0.08, 税実施 = #2005/04/01#"));
    Exec(QStringLiteral("insert into 自社情報 (年号, タイトル) values ('西暦', '二行目')"));
    core::LoadCompanyInfo();
    EXPECT_EQ(ModMurv::EraSetting, QStringLiteral("和暦"));
    EXPECT_EQ(ModMurv::PeriodStart, QDate(2005, 4, 1));
    EXPECT_EQ(ModMurv::PeriodEnd, QDate(2006, 3, 31));
    EXPECT_EQ(ModMurv::CompanyTitle, QVariant(QStringLiteral("山田商店")));
    EXPECT_EQ(ModMurv::TaxRounding, QStringLiteral("四捨五入"));
    EXPECT_EQ(ModMurv::TaxChangeDate, QVariant(QStringLiteral("2005/04/01")));
}

TEST_F(CompanyInfoTest, NoRowKeepsTheEarlierValues) {
    Exec(QStringLiteral("update 自社情報 set タイトル = '前の値'"));
    core::LoadCompanyInfo();
    Exec(QStringLiteral("delete * from 自社情報"));
    core::LoadCompanyInfo();
    EXPECT_EQ(ModMurv::CompanyTitle, QVariant(QStringLiteral("前の値")));
}

struct RateCase {
    const char* rate1;  // SQL literal
    const char* rate2;
    const char* change;  // date literal or "null"
    QDate today;
    double expected;
};

class TaxRateChoice : public CompanyInfoTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(TaxRateChoice, RateInForceOnTheDay) {
    const RateCase& c = GetParam();
    Exec(QStringLiteral("update 自社情報 set 税率 = %1, 税率2 = %2, 税実施 = %3")
             .arg(QString::fromUtf8(c.rate1), QString::fromUtf8(c.rate2), QString::fromUtf8(c.change)));
    core::LoadCompanyInfo();
    EXPECT_DOUBLE_EQ(core::ChooseTaxRate(c.today), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Days, TaxRateChoice,
    ::testing::Values(RateCase{"0.08", "0.10", "#2019/10/01#", QDate(2019, 9, 30), 0.08},  // the day before
                      RateCase{"0.08", "0.10", "#2019/10/01#", QDate(2019, 10, 1), 0.10},  // the day itself
                      RateCase{"0.08", "0.10", "#2019/10/01#", QDate(2020, 1, 1), 0.10},   // after
                      RateCase{"0.08", "null", "#2019/10/01#", QDate(2020, 1, 1), 0.05},   // no second rate
                      RateCase{"null", "0.10", "#2019/10/01#", QDate(2019, 1, 1), 0.05},   // no first rate
                      RateCase{"0.10", "null", "null", QDate(2026, 12, 9), 0.10},  // no change date: the typed rate
                      RateCase{"null", "null", "null", QDate(2026, 12, 9), 0.05}));

}  // namespace
