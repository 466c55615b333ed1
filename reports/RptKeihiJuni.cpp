// The ranking: rank, item or partner and total per line, under the period,
// the total and the grouping's column title, portrait.
#include "core/ModMurv.h"
#include "platform/ui/Formats.h"
#include "reports/Reports.h"

namespace reports {

rpt経費順位::rpt経費順位() : report::Report(QStringLiteral("経費順位")) {
    const Band H = Band::PageHeader;
    AddTitle(*this, Twips(213, 213, 1630, 354));
    AddLabel(H, QStringLiteral("Label3"), QStringLiteral("期 間"), Twips(2268, 100, 638, 283), Mincho(12));
    txt期間 = &AddField(H, QStringLiteral("txt期間"), QString(), Twips(2976, 100, 3118, 283), Mincho(12));
    AddPageNumbering(*this, Twips(7512, 0, 496, 213), Twips(8008, 0, 354, 213), Twips(8433, 0, 213, 213),
                     Twips(8717, 0, 354, 213));
    cday = &AddPrintDate(*this, Twips(6449, 425, 850, 284), Twips(7299, 425, 1701, 213));
    AddLabel(H, QStringLiteral("Label24"), QStringLiteral("合 計"), Twips(2268, 425, 638, 320), Mincho(12));
    txt合計 = &AddField(H, QStringLiteral("txt合計"), QString(), Twips(2976, 425, 1843, 284), Mincho(14.5),
                        Align::Right, QStringLiteral("#,##0"));
    AddLabel(H, QStringLiteral("Label21"), QStringLiteral("順位"), Twips(638, 850, 850, 284), Mincho(12),
             Align::Center);
    lbl科目 = &AddLabel(H, QStringLiteral("lbl科目"), QStringLiteral("科　　　　目"), Twips(2906, 850, 2622, 284),
                        Mincho(12), Align::Center);
    AddLabel(H, QStringLiteral("Label23"), QStringLiteral("金　　額"), Twips(7230, 855, 1020, 285), Mincho(12),
             Align::Center);
    AddLine(H, QStringLiteral("Line1"), 645, 1140, 8685, 1140, 3);

    const Band D = Band::Detail;
    AddField(D, QStringLiteral("txt順位"), QStringLiteral("順位"), Twips(709, 0, 779, 283), Mincho(14.5),
             Align::Center);
    txt科目 = &AddField(D, QStringLiteral("txt科目"), QStringLiteral("科目"), Twips(1560, 30, 5070, 285), Mincho(12));
    AddField(D, QStringLiteral("txt金額"), QStringLiteral("金額"), Twips(6810, 0, 1665, 285), Mincho(14.5),
             Align::Right, QStringLiteral("#,##0"));
    txt取引先名 =
        &AddField(D, QStringLiteral("txt取引先名"), QStringLiteral("取引先名"), Twips(1701, 30, 5173, 270), Mincho(12));
    AddLine(D, QStringLiteral("Line2"), 645, 300, 8685, 300, 1);
    SetBandHeight(H, 1200);
}

void rpt経費順位::ReportStart() {
    StartReport(*this, report::Orientation::Portrait, 100, 800, 1000, 700, QStringLiteral("w経費順位"), 9240);
    SetBandHeight(Band::Detail, 310);
}

void rpt経費順位::PageHeaderFormat() {
    cday->text = PrintDate();
    txt期間->text = PeriodText();
    txt合計->text = ui::FormatNumber(ModMurv::PrnTotal, QStringLiteral("#,###"));
    const bool byItem = ModMurv::PrnRankKind == u"科目別";
    lbl科目->text = byItem ? QStringLiteral("科　　　目") : QStringLiteral("取引先名");
    txt科目->visible = byItem;
    txt取引先名->visible = !byItem;
}

}  // namespace reports
