#pragma once
// The company and period settings: loading the 自社情報 row into the
// program-wide values, and the choice of the tax rate in force.

#include <QDate>

namespace core {

// Refills the company settings of ModMurv from the first 自社情報 row of the
// data database. A null column gives its default; with no row (or no open
// data database) nothing is assigned and the earlier values stay.
void LoadCompanyInfo();

// The consumption-tax rate in force on `today`: the rate before the change
// date, the second rate from that day on. Without a change date the first
// rate holds when it is set; a missing rate is 0.05.
double ChooseTaxRate(const QDate& today);

}  // namespace core
