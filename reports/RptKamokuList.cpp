// The item list: one row per expense item with its reading and a "○" for
// tax-exempt items, portrait.
#include "reports/Reports.h"

namespace reports {

rpt科目一覧::rpt科目一覧() : report::Report(QStringLiteral("科目一覧")) {
    const Band H = Band::PageHeader;
    AddTitle(*this, Twips(425, 142, 1630, 354));
    AddPageNumbering(*this, Twips(7654, 213, 566, 212), Twips(8220, 213, 355, 212), Twips(8575, 213, 212, 212),
                     Twips(8858, 213, 355, 212));
    cday = &AddPrintDate(*this, Twips(3898, 213, 850, 283), Twips(4748, 210, 2622, 283));
    AddShape(H, QStringLiteral("Shape1"), Twips(425, 638, 9071, 425));
    AddLabel(H, QStringLiteral("Label21"), QStringLiteral("科　　目"), Twips(1417, 709, 1276, 354), Mincho(14.5));
    AddLabel(H, QStringLiteral("Label22"), QStringLiteral("ふりがな"), Twips(5102, 709, 1276, 354), Mincho(14.5));
    AddLine(H, QStringLiteral("Line1"), 4535, 638, 4535, 1063);
    AddLabel(H, QStringLiteral("Label23"), QStringLiteral("非課税"), Twips(8291, 709, 922, 340), Mincho(14.5));
    AddLine(H, QStringLiteral("Line6"), 8079, 638, 8079, 1063);

    const Band D = Band::Detail;
    AddField(D, QStringLiteral("txt科目"), QStringLiteral("科目"), Twips(495, 0, 4050, 285), Mincho(12));
    AddField(D, QStringLiteral("txtふりがな"), QStringLiteral("ふりがな"), Twips(4605, 0, 3555, 285), Mincho(12));
    txt非課税 = &AddField(D, QStringLiteral("txt非課税"), QStringLiteral("非課税"), Twips(8504, 30, 638, 260),
                          Mincho(12), Align::Center);
    Line2 = &AddLine(D, QStringLiteral("Line2"), 420, 285, 9480, 285);
    Line3 = &AddLine(D, QStringLiteral("Line3"), 4535, 0, 4535, 283);
    Line4 = &AddLine(D, QStringLiteral("Line4"), 425, 0, 425, 354);
    Line5 = &AddLine(D, QStringLiteral("Line5"), 8079, 0, 8079, 283);
    Line7 = &AddLine(D, QStringLiteral("Line7"), 9480, 0, 9480, 283);
    SetBandHeight(H, 1060);
    SetBandHeight(D, 296);
}

void rpt科目一覧::ReportStart() {
    StartReport(*this, report::Orientation::Portrait, 100, 800, 1000, 700, QStringLiteral("w科目マスタ印刷"), 9990);
    SetBandHeight(Band::PageHeader, 1060);
    SetBandHeight(Band::Detail, 296);
}

void rpt科目一覧::PageHeaderFormat() { cday->text = PrintDate(); }

void rpt科目一覧::DetailFormat() {
    // The vertical rules are 300 high in a 296-high band, so they join
    // those of the next row.
    Line2->SetLine(420, 286, 9480, 286);
    Line3->SetLine(4535, 0, 4535, 300);
    Line4->SetLine(425, 0, 425, 300);
    Line5->SetLine(8079, 0, 8079, 300);
    Line7->SetLine(9480, 0, 9480, 300);
    txt非課税->text = ExemptMark(txt非課税->value);
}

}  // namespace reports
