#include "reports/ReportFrame.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QtDebug>
#include <algorithm>
#include <cmath>

#include "core/Clock.h"
#include "core/EraDate.h"
#include "core/ModMurv.h"
#include "core/MsgShow.h"
#include "platform/db/StoredForms.h"
#include "platform/report/Fonts.h"

namespace reports {

namespace {

const QString kMinchoName = QStringLiteral("ＭＳ Ｐ明朝");
// The share of a box a fitted text may take (the layout keeps the rest for
// the differences between its metrics and a printer's).
constexpr double kFitRoom = 0.95;
const QString kGothicName = QStringLiteral("ＭＳ Ｐゴシック");

void TellFailure(const QString& title, const QString& what, const QString& detail) {
    qWarning().noquote() << "report" << title << ":" << what.trimmed() << detail;
    core::MsgShow(QStringLiteral("その他"), QStringLiteral("メッセージ"), title + what);
}
void TellFailure(const report::Report& r, const QString& what, const QString& detail) {
    TellFailure(r.Title(), what, detail);
}

// Says a print that printed nothing: a range without a page, or a failure.
void TellNotPrinted(const QString& title, const report::PrintResult& result) {
    if (result.outcome == report::PrintOutcome::NoPage) TellNoPageInRange(title, {result.error});
    else if (result.outcome == report::PrintOutcome::Failed)
        TellFailure(title, QStringLiteral(" を印刷できませんでした。"), result.error);
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
    // The page number and the count hold five digits whole at their size
    // (never shrunk, never cut): their boxes widen where the layout made
    // them narrower, and the group grows to the left, so that it still ends
    // where the count's box ended. All four stand in the row of "Page", on
    // one baseline.
    const report::FontSpec font = Mincho(11.5);
    const double digits = qGuiApp ? QFontMetricsF(report::TwipFont(font)).horizontalAdvance(QStringLiteral("00000"))
                                  : 5 * font.size * 10;  // half an em each
    const int count = std::max(field1.width(), int(std::ceil(digits / kFitRoom)));
    const int number = std::max(cp.width(), int(std::ceil(digits / kFitRoom)) + report::kRightInsetTwips);
    const int right = field1.left() + field1.width();
    const int countLeft = right - count;
    const int slashLeft = countLeft - (field1.left() - label20.left());
    const int numberLeft = slashLeft - (label20.left() - cp.left() - cp.width()) - number;
    const int pageLeft = numberLeft - (cp.left() - label19.left());
    const int top = label19.top(), height = label19.height();
    r.AddLabel(Band::PageHeader, QStringLiteral("Label19"), QStringLiteral("Page  "),
               Twips(pageLeft, top, label19.width(), height), font);
    r.AddPageNumber(Band::PageHeader, QStringLiteral("Cp"), Twips(numberLeft, top, number, height), font, Align::Right);
    r.AddLabel(Band::PageHeader, QStringLiteral("Label20"), QStringLiteral("/ "),
               Twips(slashLeft, top, label20.width(), height), font);
    r.AddPageCount(Band::PageHeader, QStringLiteral("Field1"), Twips(countLeft, top, count, height), font, Align::Left);
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

report::PrintOutcome PrintReport(report::Report& r, bool withDialog, QStringList* untold) {
    const report::Pages* pages = Laid(r);
    if (!pages) return report::PrintOutcome::Failed;
    const report::PrintRequest request{withDialog, r.PrintsMade()};
    const report::PrintResult result = report::CurrentPrintService().Print(*pages, request);
    if (result.outcome == report::PrintOutcome::Printed) ++r.PrintsMade();
    if (untold && result.outcome == report::PrintOutcome::NoPage) *untold << result.error;
    else TellNotPrinted(r.Title(), result);
    return result.outcome;
}

void TellNoPageInRange(const QString& title, const QStringList& untold) {
    TellFailure(title, QStringLiteral(" の指定されたページ範囲には印刷するページがないため、何も印刷しませんでした。"),
                untold.join(QStringLiteral("; ")));
}

bool PreviewReport(report::Report& r) {
    const report::Pages* pages = Laid(r);
    if (!pages) return false;
    QString error;
    const auto told = [title = r.Title()](const report::PrintResult& result) { TellNotPrinted(title, result); };
    if (report::CurrentPrintService().Preview(std::make_shared<const report::Pages>(*pages), &error, told)) return true;
    TellFailure(r, QStringLiteral(" のプレビューを表示できませんでした。"), error);
    return false;
}

}  // namespace reports
