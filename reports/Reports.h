#pragma once
// The five printed reports. Each declares its controls in its constructor
// and handles the report start and its bands' format events; it reads its
// rows from its work table and its header values from the report
// parameters of ModMurv, and writes nothing.

#include <array>

#include "reports/ReportFrame.h"

namespace reports {

// The expense items, as the item master's sheet stands (w科目マスタ印刷).
class rpt科目一覧 : public report::Report {
public:
    rpt科目一覧();

protected:
    void ReportStart() override;
    void PageHeaderFormat() override;
    void DetailFormat() override;

private:
    Control* cday = nullptr;
    Control* txt非課税 = nullptr;
    Control *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr, *Line5 = nullptr, *Line7 = nullptr;
};

// The business partners with their items (w取引先マスタ印刷).
class rpt取引先一覧 : public report::Report {
public:
    rpt取引先一覧();

protected:
    void ReportStart() override;
    void PageHeaderFormat() override;
    void DetailFormat() override;

private:
    Control* cday = nullptr;
    Control* Shape1 = nullptr;
    Control *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr, *Line10 = nullptr;
    Control* txt非課税 = nullptr;
    Control *Line1 = nullptr, *Line5 = nullptr, *Line6 = nullptr, *Line7 = nullptr, *Line8 = nullptr, *Line9 = nullptr,
            *Line11 = nullptr;
};

// The expense list (w経費一覧印刷).
class rpt経費一覧 : public report::Report {
public:
    rpt経費一覧();

protected:
    void ReportStart() override;
    void PageHeaderFormat() override;
    void DetailFormat() override;

private:
    Control* cday = nullptr;
    Control* txt期間 = nullptr;
    Control* txt件数 = nullptr;
    Control* txt合計 = nullptr;
    Control* txt日付 = nullptr;
};

// The ranking of items or partners (w経費順位).
class rpt経費順位 : public report::Report {
public:
    rpt経費順位();

protected:
    void ReportStart() override;
    void PageHeaderFormat() override;

private:
    Control* txt期間 = nullptr;
    Control* cday = nullptr;
    Control* txt合計 = nullptr;
    Control* lbl科目 = nullptr;
    Control* txt科目 = nullptr;
    Control* txt取引先名 = nullptr;
};

// The twelve-month table (w月別経費).
class rpt月別経費一覧 : public report::Report {
public:
    rpt月別経費一覧();

protected:
    void ReportStart() override;
    void PageHeaderFormat() override;
    void DetailFormat() override;

private:
    // page header
    Control* cday = nullptr;
    Control* txt期間 = nullptr;
    Control* txt合計金額 = nullptr;
    Control* txt税合計 = nullptr;
    Control* Lbl科目 = nullptr;
    Control* Lbl科目計 = nullptr;
    Control* lbl税計 = nullptr;
    Control* Shape1 = nullptr;
    Control* Shape2 = nullptr;
    std::array<Control*, 12> Lbl月{};
    std::array<Control*, 13> LineHead{};  // Line17 ... Line29
    Control* Line30 = nullptr;
    std::array<Control*, 12> txt月計{};
    std::array<Control*, 12> txt月税計{};
    // detail
    Control* txt科目 = nullptr;
    Control* txt取引先名 = nullptr;
    Control* txt合計 = nullptr;
    std::array<Control*, 12> txt金額{};
    std::array<Control*, 16> Line{};  // Line1 ... Line16
};

}  // namespace reports
