// The partner list: each partner with the items used with it, one row per
// item, landscape. A partner's name and reading print on its first row.
#include "reports/Reports.h"

namespace reports {

rpt取引先一覧::rpt取引先一覧() : report::Report(QStringLiteral("取引先一覧")) {
    const Band H = Band::PageHeader;
    AddTitle(*this, Twips(425, 142, 1843, 354));
    cday = &AddPrintDate(*this, Twips(3898, 213, 850, 283), Twips(4748, 210, 2622, 283));
    AddPageNumbering(*this, Twips(10205, 213, 567, 212), Twips(10772, 213, 354, 212), Twips(11126, 213, 213, 212),
                     Twips(11409, 213, 355, 212));
    Shape1 = &AddShape(H, QStringLiteral("Shape1"), Twips(213, 283, 15023, 426));
    AddLabel(H, QStringLiteral("Label21"), QStringLiteral("取引先名"), Twips(850, 638, 1489, 283), Gothic(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label22"), QStringLiteral("ふりがな"), Twips(5740, 638, 1488, 283), Gothic(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label23"), QStringLiteral("科　　目"), Twips(9142, 638, 1488, 283), Gothic(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label24"), QStringLiteral("ふりがな"), Twips(12118, 638, 1630, 283), Gothic(12),
             Align::Center);
    AddLabel(H, QStringLiteral("Label25"), QStringLiteral("非課税"), Twips(14315, 638, 779, 283), Gothic(12),
             Align::Center);
    Line2 = &AddLine(H, QStringLiteral("Line2"), 4394, 496, 4394, 850);
    Line3 = &AddLine(H, QStringLiteral("Line3"), 8150, 425, 8150, 850);
    Line4 = &AddLine(H, QStringLiteral("Line4"), 11480, 496, 11480, 850);
    Line10 = &AddLine(H, QStringLiteral("Line10"), 14244, 496, 14244, 850);

    const Band D = Band::Detail;
    AddField(D, QStringLiteral("txt取引先名"), QStringLiteral("取引先名"), Twips(135, 0, 4275, 285), Mincho(12));
    AddField(D, QStringLiteral("txtふりがな"), QStringLiteral("ふりがな"), Twips(4470, 0, 3630, 285), Mincho(12));
    AddField(D, QStringLiteral("txt科目"), QStringLiteral("科目"), Twips(8295, 0, 3060, 285), Mincho(12));
    AddField(D, QStringLiteral("txt科目ふりがな"), QStringLiteral("科目ふりがな"), Twips(11551, 0, 2693, 283),
             Mincho(12));
    txt非課税 = &AddField(D, QStringLiteral("txt非課税"), QStringLiteral("非課税"), Twips(14315, 0, 709, 283),
                          Mincho(12), Align::Center, QStringLiteral("#,##0"));
    // Placed on every row (DetailFormat).
    Line1 = &AddLine(D, QStringLiteral("Line1"), 0, 0, 0, 0);
    Line5 = &AddLine(D, QStringLiteral("Line5"), 0, 0, 0, 0);
    Line6 = &AddLine(D, QStringLiteral("Line6"), 0, 0, 0, 0);
    Line7 = &AddLine(D, QStringLiteral("Line7"), 0, 0, 0, 0);
    Line8 = &AddLine(D, QStringLiteral("Line8"), 0, 0, 0, 0);
    Line9 = &AddLine(D, QStringLiteral("Line9"), 0, 0, 0, 0);
    Line11 = &AddLine(D, QStringLiteral("Line11"), 0, 0, 0, 0);
}

void rpt取引先一覧::ReportStart() {
    StartReport(*this, report::Orientation::Landscape, 100, 1000, 800, 700, QStringLiteral("w取引先マスタ印刷"), 15660);
    SetBandHeight(Band::PageHeader, 930);
    SetBandHeight(Band::Detail, 296);
}

void rpt取引先一覧::PageHeaderFormat() {
    cday->text = PrintDate();
    // The frame encloses the column titles; the rules between the titles
    // stand where the rows' rules do.
    Shape1->Move(100, 620, 15023, 300);
    Line2->SetLine(4394, 620, 4394, 920);
    Line3->SetLine(8150, 620, 8150, 920);
    Line4->SetLine(11480, 620, 11480, 920);
    Line10->SetLine(14244, 620, 14244, 920);
}

void rpt取引先一覧::DetailFormat() {
    Line1->SetLine(100, 290, 15100, 290);
    Line5->SetLine(100, 0, 100, 290);
    Line6->SetLine(4394, 0, 4394, 290);
    Line7->SetLine(8150, 0, 8150, 290);
    Line8->SetLine(11480, 0, 11480, 290);
    Line9->SetLine(14244, 0, 14244, 290);
    Line11->SetLine(15100, 0, 15100, 300);
    txt非課税->text = ExemptMark(txt非課税->value);
}

}  // namespace reports
