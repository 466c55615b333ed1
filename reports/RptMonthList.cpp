// The twelve-month table: per item or partner its total and its twelve
// month amounts, under the month captions, month totals and month taxes,
// landscape.
#include "core/Clock.h"
#include "core/EraDate.h"
#include "core/ModMurv.h"
#include "platform/ui/Formats.h"
#include "reports/Reports.h"

namespace reports {

namespace {

QString N(const char16_t* prefix, int k) { return QString::fromUtf16(prefix) + QString::number(k); }

// The column grid shared by the table head and the rows.
constexpr int kRow = 300;          // row height
constexpr int kBoxTop = 1400;      // top of the two-row box of the head
constexpr int kFirstMonth = 3000;  // left edge of month 1
constexpr int kMonthWidth = 1040;
constexpr int kRightEdge = 15500;

int MonthLeft(int k) { return kFirstMonth + kMonthWidth * (k - 1); }

bool Western() { return ModMurv::EraSetting == u"西暦"; }

// An amount's font: 10 pt above the threshold, else 12 pt; an empty text
// leaves the font as the last row or page left it.
void AmountFont(Control& field, double threshold) {
    if (field.text.isEmpty()) return;
    bool ok = false;
    const double amount = QString(field.text).remove(u',').toDouble(&ok);
    if (ok) field.font.size = amount > threshold ? 10 : 12;
}

// A name's font by its length: 12 pt up to 7 characters, 9 pt for 8 or 9,
// 7 pt from 10.
void NameFont(Control& field) {
    const qsizetype n = field.text.size();
    if (n == 0) return;
    field.font.size = n >= 10 ? 7 : n >= 8 ? 9 : 12;
}

}  // namespace

rpt月別経費一覧::rpt月別経費一覧() : report::Report(QStringLiteral("月別経費一覧")) {
    const Band H = Band::PageHeader;
    AddTitle(*this, Twips(213, 213, 2267, 354));
    AddPageNumbering(*this, Twips(13465, 142, 566, 212), Twips(14173, 142, 355, 212), Twips(14528, 142, 212, 212),
                     Twips(14882, 142, 354, 213));
    cday = &AddPrintDate(*this, Twips(3898, 213, 850, 250), Twips(4755, 210, 2625, 250));
    Lbl科目 = &AddLabel(H, QStringLiteral("Lbl科目"), QString(), Twips(0, 0, 1347, 283), Mincho(12), Align::Center);
    Lbl科目計 = &AddLabel(H, QStringLiteral("Lbl科目計"), QStringLiteral("合　計"), Twips(0, 0, 1205, 283), Mincho(12),
                          Align::Center);
    Shape1 = &AddShape(H, QStringLiteral("Shape1"), Twips(0, 0, 0, 0));
    AddLabel(H, QStringLiteral("Label3"), QStringLiteral("期 間"), Twips(2551, 567, 709, 283), Mincho(12));
    txt期間 = &AddField(H, QStringLiteral("txt期間"), QString(), Twips(3331, 567, 3189, 283), Mincho(12));
    AddLabel(H, QStringLiteral("Label26"), QStringLiteral("合計金額"), Twips(6660, 600, 990, 270), Mincho(12));
    txt合計金額 =
        &AddField(H, QStringLiteral("txt合計金額"), QString(), Twips(7650, 570, 2010, 285), Mincho(14.5), Align::Right);
    for (int k = 1; k <= 12; ++k) {
        const bool narrow = k == 1 || k == 3 || k == 7 || k == 9 || k == 11;
        Lbl月[k - 1] = &AddLabel(H, N(u"Lbl月", k), QString(), Twips(0, 0, narrow ? 779 : 780, k == 8 ? 284 : 283),
                                 Mincho(12), Align::Center);
    }
    for (int i = 0; i < 13; ++i) LineHead[size_t(i)] = &AddLine(H, N(u"Line", 17 + i), 0, 0, 0, 0);
    for (int k = 1; k <= 12; ++k)
        txt月計[k - 1] = &AddField(H, N(u"txt月計", k), QString(), Twips(0, 0, 0, 283), Mincho(12), Align::Right,
                                   QStringLiteral("#,##"));
    Shape2 = &AddShape(H, QStringLiteral("Shape2"), Twips(0, 0, 0, 0));
    for (int k = 1; k <= 12; ++k)
        txt月税計[k - 1] = &AddField(H, N(u"txt月税計", k), QString(), Twips(0, 0, 0, k <= 4 ? 283 : 284), Mincho(12),
                                     Align::Right, QStringLiteral("#,##"));
    Line30 = &AddLine(H, QStringLiteral("Line30"), 0, 0, 0, 0);
    lbl税計 = &AddLabel(H, QStringLiteral("lbl税計"), QStringLiteral("税　計"), Twips(0, 0, 1205, 284), Mincho(12),
                        Align::Center);
    AddLabel(H, QStringLiteral("Label27"), QStringLiteral("税合計"), Twips(9850, 567, 922, 283), Mincho(12));
    txt税合計 =
        &AddField(H, QStringLiteral("txt税合計"), QString(), Twips(10843, 567, 1700, 283), Mincho(14.5), Align::Right);

    const Band D = Band::Detail;
    txt科目 = &AddField(D, QStringLiteral("txt科目"), QStringLiteral("科目"), Twips(0, 0, 0, 284), Mincho(12));
    txt取引先名 =
        &AddField(D, QStringLiteral("txt取引先名"), QStringLiteral("取引先名"), Twips(0, 0, 0, 283), Mincho(12));
    txt合計 = &AddField(D, QStringLiteral("txt合計"), QStringLiteral("合計"), Twips(0, 0, 0, 283), Mincho(12),
                        Align::Right, QStringLiteral("#,##0"));
    for (int k = 1; k <= 12; ++k) {
        const int height = k == 4 ? 212 : (k >= 5 && k <= 8) ? 284 : 283;
        txt金額[k - 1] = &AddField(D, N(u"txt金額", k), N(u"金額", k), Twips(0, 0, 0, height), Mincho(12), Align::Right,
                                   QStringLiteral("#,##"));
    }
    for (int i = 0; i < 16; ++i) Line[size_t(i)] = &AddLine(D, N(u"Line", i + 1), 0, 0, 0, 0);

    SetBandHeight(H, 4500);
    SetBandHeight(D, 1635);
    SetBandHeight(Band::PageFooter, 360);
}

void rpt月別経費一覧::ReportStart() {
    StartReport(*this, report::Orientation::Landscape, 30, 550, 800, 400, QStringLiteral("w月別経費"), 16005);
    SetBandHeight(Band::Detail, 300);
}

void rpt月別経費一覧::PageHeaderFormat() {
    SetBandHeight(Band::PageHeader, kBoxTop + 2 * kRow);  // 2000, the bottom of the head

    // Month k of the window lies k - 1 months after the start; a print
    // without a start shows no period and no captions.
    const QDate start = ParameterDate(ModMurv::PrnDateFrom);
    const auto month = [&](int k) { return start.isValid() ? start.addMonths(k - 1) : QDate(); };
    const QString monthPattern = Western() ? QStringLiteral("yyyy年mm月") : QStringLiteral("gee年mm月");
    const QString datePattern = Western() ? QStringLiteral("yyyy年mm月dd日") : QStringLiteral("gee年mm月dd日");
    const QString captionPattern = Western() ? QStringLiteral("yy/mm") : QStringLiteral("gee/mm");
    txt期間->text = start.isValid() ? core::FormatDate(month(1), monthPattern) + QStringLiteral("～") +
                                          core::FormatDate(month(12), monthPattern)
                                    : QString();
    cday->text = core::FormatDate(core::Today(), datePattern);

    const QString yen = QStringLiteral("¥");
    txt合計金額->text = yen + ui::FormatNumber(ModMurv::PrnTotal, QStringLiteral("#,###"));
    txt税合計->text = yen + ui::FormatNumber(ModMurv::PrnTaxTotal, QStringLiteral("#,###"));
    Lbl科目->text = ModMurv::PrnRankKind == u"科目別" ? QStringLiteral("科　目") : QStringLiteral("取引先");

    const int captionTop = kBoxTop - kRow;  // 1100
    const int taxRowTop = kBoxTop + kRow;   // 1700
    const int boxBottom = kBoxTop + 2 * kRow;
    LineHead[0]->SetLine(1700, kBoxTop, 1700, boxBottom);
    for (int k = 1; k <= 12; ++k) LineHead[size_t(k)]->SetLine(MonthLeft(k), captionTop, MonthLeft(k), boxBottom);
    Lbl科目->left = 250;
    Lbl科目->top = kBoxTop + 180;
    Lbl科目計->left = 1800;
    Lbl科目計->top = kBoxTop + 40;
    lbl税計->left = 1800;
    lbl税計->top = taxRowTop + 40;
    Shape1->top = kBoxTop;
    Shape1->height = 2 * kRow;
    Shape1->width = kRightEdge;
    Line30->SetLine(1700, taxRowTop, kRightEdge, taxRowTop);
    for (int k = 1; k <= 12; ++k) {
        Lbl月[k - 1]->left = MonthLeft(k) + 160;
        Lbl月[k - 1]->top = captionTop + 30;
        Lbl月[k - 1]->text = core::FormatDate(month(k), captionPattern);
    }
    txt合計->text = ui::FormatNumber(ModMurv::PrnTotal, QStringLiteral("#,###"));
    Shape2->Move(kFirstMonth, captionTop, kRightEdge - kFirstMonth, kRow + 5);

    const auto monthRow = [&](std::array<Control*, 12>& fields, const std::array<QVariant, 13>& values, int top) {
        for (int k = 1; k <= 12; ++k) {
            Control& f = *fields[size_t(k - 1)];
            f.top = top;
            f.width = kMonthWidth;
            f.left = MonthLeft(k);
            f.text = ui::FormatNumber(values[size_t(k - 1)], QStringLiteral("#,###"));
        }
        for (Control* f : fields) AmountFont(*f, 999999);
    };
    monthRow(txt月計, ModMurv::PrnMonthTotal, kBoxTop + 20);
    monthRow(txt月税計, ModMurv::PrnMonthTax, taxRowTop + 20);
}

void rpt月別経費一覧::DetailFormat() {
    const bool byItem = ModMurv::PrnRankKind == u"科目別";
    txt科目->visible = byItem;
    txt取引先名->visible = !byItem;

    Line[0]->SetLine(0, 299, kRightEdge, 299);
    Line[1]->SetLine(0, 0, 0, 299);
    Line[2]->SetLine(1700, 0, 1700, 299);
    Line[3]->SetLine(kFirstMonth, 0, kFirstMonth, 299);
    for (int k = 1; k <= 11; ++k)
        Line[size_t(3 + k)]->SetLine(kFirstMonth + kMonthWidth * k, 0, kFirstMonth + kMonthWidth * k, 299);
    Line[15]->SetLine(15490, 0, 15490, 299);

    const int boxTop = 20;
    txt取引先名->top = boxTop;
    txt取引先名->left = 20;
    txt取引先名->width = 1800;
    txt科目->top = boxTop + 20;
    txt科目->left = 20;
    txt科目->width = 1800;
    txt合計->top = boxTop + 20;
    txt合計->left = 1800;
    txt合計->width = 1200;
    for (int k = 1; k <= 12; ++k) {
        Control& f = *txt金額[size_t(k - 1)];
        f.top = boxTop + 20;
        f.left = MonthLeft(k);
        f.width = kMonthWidth;
    }

    NameFont(*txt取引先名);
    NameFont(*txt科目);
    AmountFont(*txt合計, 99999999);
    for (Control* f : txt金額) AmountFont(*f, 999999);
}

}  // namespace reports
