#include "core/CompanyInfo.h"

#include "core/ModMurv.h"

namespace core {

namespace {
constexpr double kDefaultRate = 0.05;
}

void LoadCompanyInfo() {
    using namespace ModMurv;
    SqlText = QStringLiteral("select * from 自社情報");
    db::Recordset rs = DbData.OpenRecordset(SqlText);
    if (!rs.IsBOF() && !rs.IsEOF()) {
        auto text = [&](const char16_t* field, const QString& fallback) {
            const QVariant v = rs.Value(QString::fromUtf16(field));
            return v.isNull() ? fallback : v.toString();
        };
        auto date = [&](const char16_t* field) { return rs.Value(QString::fromUtf16(field)).toDate(); };
        EraSetting = text(u"年号", QStringLiteral("西暦"));
        PeriodStart = date(u"開始日");
        PeriodEnd = date(u"終了日");
        CompanyTitle = rs.Value(QStringLiteral("タイトル"));
        TaxKind = text(u"税区分", QStringLiteral("外税"));
        TaxRounding = text(u"税端数", QStringLiteral("切り捨て"));
        TaxRate1 = rs.Value(QStringLiteral("税率"));
        TaxRate2 = rs.Value(QStringLiteral("税率2"));
        const QDate change = date(u"税実施");
        TaxChangeDate = change.isValid() ? QVariant(change.toString(QStringLiteral("yyyy/MM/dd"))) : QVariant();
    }
    rs.Close();
}

double ChooseTaxRate(const QDate& today) {
    using namespace ModMurv;
    QVariant chosen;
    if (TaxChangeDate.isNull()) {
        chosen = TaxRate1;
    } else {
        const QString now = today.toString(QStringLiteral("yyyy/MM/dd"));
        chosen = now < TaxChangeDate.toString() ? TaxRate1 : TaxRate2;
    }
    bool ok = false;
    const double rate = chosen.toDouble(&ok);
    return chosen.isNull() || !ok ? kDefaultRate : rate;
}

}  // namespace core
