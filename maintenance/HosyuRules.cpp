#include "maintenance/HosyuRules.h"

#include <cmath>

#include "core/DataFile.h"
#include "core/ScreenKit.h"

namespace maintenance {

using core::S;

QDate ProposedPeriodEnd(const QDate& start) {
    if (!start.isValid()) return {};
    const QDate month = start.addMonths(11);
    return QDate(month.year(), month.month(), month.daysInMonth());
}

QDate NextYear(const QDate& date) { return date.isValid() ? date.addYears(1) : QDate(); }

// ---------------------------------------------------------------- tax rates

namespace {
// Two decimals of a percentage, without the float noise of * 100 and / 100.
double TwoDecimals(double value) { return std::round(value * 100.0) / 100.0; }
}  // namespace

QVariant PercentToStored(const QVariant& percent) {
    if (percent.isNull()) return {};
    return TwoDecimals(percent.toDouble()) / 100.0;
}

QVariant StoredToPercent(const QVariant& fraction) {
    if (fraction.isNull()) return {};
    return TwoDecimals(fraction.toDouble() * 100.0);
}

bool IsAcceptedPercent(const QVariant& percent) {
    if (percent.isNull()) return true;
    const double p = percent.toDouble();
    return p >= 0.0 && p < 100.0;
}

// ---------------------------------------------------------------- year-end archive

std::optional<QString> ArchiveFileName(const QString& title) {
    const QString name = title.trimmed();
    if (name.isEmpty() || name == u"." || name == u"..") return std::nullopt;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) return std::nullopt;
    }
    const QString file = name + QStringLiteral(".mdb");
    if (file.toUtf8().size() > 255) return std::nullopt;  // longer than a file name may be
    QString base = name;
    if (base.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive)) base.chop(4);
    for (const char* own : {"MurvData2K", "MurvWork2K", "OrgMurvData2K", "Murvdata"}) {
        if (base.compare(QLatin1String(own), Qt::CaseInsensitive) == 0) return std::nullopt;
    }
    if (core::IsWorkFileName(file)) return std::nullopt;
    return file;
}

QStringList ArchiveTables() {
    return {S(u"コードマスタ"), S(u"科目マスタ"), S(u"自社情報"), S(u"取引先マスタ"), S(u"取引先科目"), S(u"取引明細")};
}

QString PeriodCondition(const QDate& from, const QDate& to) {
    const QString pattern = QStringLiteral("yyyy/MM/dd");
    return QStringLiteral(" where 日付 >= #") + from.toString(pattern) + QStringLiteral("# and 日付 <= #") +
           to.toString(pattern) + u'#';
}

// ---------------------------------------------------------------- bulk deletes

QString DeleteQuestionSubject(BulkDelete which, const QString& partner) {
    switch (which) {
    case BulkDelete::Partners: return S(u"すべての取引先情報");
    case BulkDelete::Items: return S(u"すべての科目情報");
    case BulkDelete::Lines: return S(u"すべての取引データ");
    case BulkDelete::Everything: return S(u"すべてのデータ");
    case BulkDelete::OnePartner: return partner + S(u"のすべての情報");
    }
    return {};
}

QString DeleteCompletionSubject(BulkDelete which, const QString& partner) {
    if (which == BulkDelete::OnePartner) return partner + S(u"すべての情報");
    return DeleteQuestionSubject(which, partner);
}

QStringList DeleteStatements(BulkDelete which, const QString& partner) {
    const QString partners = S(u"delete * from 取引先マスタ");
    const QString pairs = S(u"delete * from 取引先科目");
    const QString items = S(u"delete * from 科目マスタ");
    const QString lines = S(u"delete * from 取引明細");
    switch (which) {
    case BulkDelete::Partners: return {partners, pairs};
    case BulkDelete::Items: return {items};
    case BulkDelete::Lines: return {lines};
    case BulkDelete::Everything: return {items, partners, pairs, lines};
    case BulkDelete::OnePartner: {
        const QString where = S(u" where 取引先名 = ") + core::Quoted(partner);
        return {lines + where, partners + where};
    }
    }
    return {};
}

}  // namespace maintenance
