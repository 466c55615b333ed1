#include "core/ModMurv.h"

namespace ModMurv {

void ResetCompanySettings() {
    EraSetting = QStringLiteral("西暦");
    PeriodStart = QDate();
    PeriodEnd = QDate();
    CompanyTitle = QVariant();
    TaxKind = QStringLiteral("外税");
    TaxRounding = QStringLiteral("切り捨て");
    TaxRate1 = QVariant();
    TaxRate2 = QVariant();
    TaxChangeDate = QVariant();
}

void ResetState() {
    DataFolder.clear();
    DataFilePath.clear();
    WorkFilePath.clear();
    OrgDataFilePath.clear();
    DbData.Close();
    DbWork.Close();
    SqlText.clear();
    ResetCompanySettings();
    TaxRate = 0.05;
    HintFormName.clear();
    HintControlKey.clear();
    HintCaption.clear();
    ProgressTotal = QVariant();
    ProgressPercent = QVariant();
    ProgressInterval = QVariant();
    FormNameStack.fill(QString());
    InputMMDD.clear();
    ResolvedDate = QDate();
    ResolvedYear = ResolvedMonth = ResolvedDay = 0;
    PrnDateFrom = QVariant();
    PrnDateTo = QVariant();
    PrnTotal = PrnTaxTotal = PrnCount = QVariant();
    PrnMonthTotal.fill(QVariant());
    PrnMonthTax.fill(QVariant());
    PrnRankKind.clear();
}

}  // namespace ModMurv
