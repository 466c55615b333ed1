#include "reports/ReportFrame.h"

#include <QtDebug>

#include "core/Clock.h"
#include "core/EraDate.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/StoredForms.h"

namespace reports {

namespace {

const QString kMinchoName = QStringLiteral("ＭＳ Ｐ明朝");
const QString kGothicName = QStringLiteral("ＭＳ Ｐゴシック");

void TellFailure(const report::Report& r, const QString& what, const QString& detail) {
    qWarning().noquote() << "report" << r.Title() << ":" << what.trimmed() << detail;
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), r.Title() + what);
}

// The pages of the report, or nullptr after telling the user why there are none.
const report::Pages* Laid(report::Report& r) {
    const report::Pages& pages = r.Run();
    if (!pages.error.isEmpty()) {
        TellFailure(r, QStringLiteral(" の印刷データを読み込めませんでした。"), pages.error);
        return nullptr;
    }
    return &pages;
}

}  // namespace

report::FontSpec Mincho(double points, bool bold) { return {kMinchoName, points, bold}; }
report::FontSpec Gothic(double points) { return {kGothicName, points, false}; }

void StartReport(report::Report& r, report::Orientation orientation, int left, int top, int right, int bottom,
                 const QString& table, int printWidth) {
    r.SetOrientation(orientation);
    r.SetMargins(left, top, right, bottom);
    r.BindData(ModMurv::WorkFilePath, table);
    r.SetPrintWidth(printWidth);
}

void AddTitle(report::Report& r, QRect label1) {
    r.AddLabel(Band::PageHeader, QStringLiteral("Label1"), r.Title(), label1, Mincho(16, true));
}

void AddPageNumbering(report::Report& r, QRect label19, QRect cp, QRect label20, QRect field1) {
    r.AddLabel(Band::PageHeader, QStringLiteral("Label19"), QStringLiteral("Page  "), label19, Mincho(11.5));
    r.AddPageNumber(Band::PageHeader, QStringLiteral("Cp"), cp, Mincho(11.5), Align::Right);
    r.AddLabel(Band::PageHeader, QStringLiteral("Label20"), QStringLiteral("/ "), label20, Mincho(11.5));
    r.AddPageCount(Band::PageHeader, QStringLiteral("Field1"), field1, Mincho(11.5), Align::Left);
}

Control& AddPrintDate(report::Report& r, QRect label2, QRect cday) {
    r.AddLabel(Band::PageHeader, QStringLiteral("Label2"), QStringLiteral("印刷日"), label2, Mincho(12));
    return r.AddField(Band::PageHeader, QStringLiteral("cday"), QString(), cday, Mincho(11.5));
}

QString DatePattern() {
    return ModMurv::EraSetting == u"西暦" ? QStringLiteral("yyyy/mm/dd") : QStringLiteral("gee/mm/dd");
}

QString PrintDate() { return core::FormatDate(core::Today(), DatePattern()); }

QDate ParameterDate(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate) return value.toDate();
    if (value.typeId() == QMetaType::QString) return db::DateFromText(value.toString().trimmed());
    return QDate();
}

QString PeriodText() {
    const QDate from = ParameterDate(ModMurv::PrnDateFrom);
    if (!from.isValid()) return QString();
    return core::FormatDate(from, DatePattern()) + QStringLiteral(" ～ ") +
           core::FormatDate(ParameterDate(ModMurv::PrnDateTo), DatePattern());
}

QString ExemptMark(const QVariant& value) { return value.toBool() ? QStringLiteral("○") : QString(); }

report::PrintOutcome PrintReport(report::Report& r, bool withDialog) {
    const report::Pages* pages = Laid(r);
    if (!pages) return report::PrintOutcome::Failed;
    const report::PrintRequest request{withDialog, r.PrintsMade()};
    const report::PrintResult result = report::CurrentPrintService().Print(*pages, request);
    ++r.PrintsMade();
    if (result.outcome == report::PrintOutcome::Failed)
        TellFailure(r, QStringLiteral(" を印刷できませんでした。"), result.error);
    return result.outcome;
}

bool PreviewReport(report::Report& r) {
    const report::Pages* pages = Laid(r);
    if (!pages) return false;
    QString error;
    if (report::CurrentPrintService().Preview(std::make_shared<const report::Pages>(*pages), &error)) return true;
    TellFailure(r, QStringLiteral(" のプレビューを表示できませんでした。"), error);
    return false;
}

}  // namespace reports
