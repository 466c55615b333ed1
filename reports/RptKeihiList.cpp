// The expense list: one line per expense (date, partner, amount, item)
// under the period, the line count and the total, portrait.
#include "core/EraDate.h"
#include "core/ModMurv.h"
#include "platform/ui/Formats.h"
#include "reports/Reports.h"

namespace reports {

rpt経費一覧::rpt経費一覧() : report::Report(QStringLiteral("経費一覧")) {
    const Band H = Band::PageHeader;
    AddTitle(*this, Twips(180, 180, 1530, 360));
    AddPageNumbering(*this, Twips(8370, 180, 540, 270), Twips(8910, 180, 360, 270), Twips(9320, 180, 180, 270),
                     Twips(9600, 180, 354, 212));
    cday = &AddPrintDate(*this, Twips(3898, 213, 850, 250), Twips(4755, 210, 2625, 250));
    AddLabel(H, QStringLiteral("Label3"), QStringLiteral("期 間"), Twips(810, 600, 630, 270), Mincho(12));
    txt期間 = &AddField(H, QStringLiteral("txt期間"), QString(), Twips(1470, 600, 3135, 240), Mincho(12));
    AddLabel(H, QStringLiteral("Label25"), QStringLiteral("件数"), Twips(4860, 600, 630, 270), Mincho(12));
    txt件数 = &AddField(H, QStringLiteral("txt件数"), QString(), Twips(5535, 585, 855, 270), Mincho(12), Align::Right);
    AddLabel(H, QStringLiteral("Label26"), QStringLiteral("合計金額"), Twips(6660, 600, 990, 270), Mincho(12));
    txt合計 = &AddField(H, QStringLiteral("txt合計"), QString(), Twips(7650, 585, 1830, 270), Mincho(12), Align::Right);
    AddShape(H, QStringLiteral("Shape1"), Twips(165, 960, 10065, 300), true);
    AddLabel(H, QStringLiteral("Label21"), QStringLiteral("日　付"), Twips(360, 1000, 1095, 240), Mincho(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label22"), QStringLiteral("取引先名"), Twips(2880, 1000, 1635, 240), Mincho(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label23"), QStringLiteral("金　額"), Twips(5940, 1000, 1095, 240), Mincho(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label24"), QStringLiteral("科　目"), Twips(7920, 1000, 1095, 240), Mincho(12),
             Align::Center);

    const Band D = Band::Detail;
    txt日付 = &AddField(D, QStringLiteral("txt日付"), QStringLiteral("日付"), Twips(195, 20, 1440, 270), Mincho(12));
    AddField(D, QStringLiteral("txt取引先名"), QStringLiteral("取引先名"), Twips(1830, 20, 3600, 270), Mincho(12));
    AddField(D, QStringLiteral("txt金額"), QStringLiteral("金額"), Twips(5580, 20, 1440, 270), Mincho(12), Align::Right,
             QStringLiteral("#,##0"));
    AddField(D, QStringLiteral("txt科目"), QStringLiteral("科目"), Twips(7170, 20, 2880, 270), Mincho(12));
    AddLine(D, QStringLiteral("Line1"), 165, 270, 10125, 270);
    SetBandHeight(H, 1335);
    SetBandHeight(D, 855);
}

void rpt経費一覧::ReportStart() {
    StartReport(*this, report::Orientation::Portrait, 100, 800, 1000, 700, QStringLiteral("w経費一覧印刷"), 10485);
    SetBandHeight(Band::Detail, 285);
}

void rpt経費一覧::PageHeaderFormat() {
    cday->text = PrintDate();
    txt期間->text = PeriodText();
    // "#,##" prints 0 as nothing: an empty list shows no count and no total.
    txt合計->text = ui::FormatNumber(ModMurv::PrnTotal, QStringLiteral("#,##"));
    txt件数->text = ui::FormatNumber(ModMurv::PrnCount, QStringLiteral("#,##"));
}

void rpt経費一覧::DetailFormat() { txt日付->text = core::FormatDate(txt日付->value.toDate(), DatePattern()); }

}  // namespace reports
