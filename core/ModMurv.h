#pragma once
// The program-wide values that every screen and report shares: the data
// folder and database paths, the two shared connections, the company
// settings, the current tax rate and the small hand-over values between
// screens. They live for the whole run; nothing here is saved (the lasting
// settings are the 自社情報 row).

#include <QDate>
#include <QString>
#include <QVariant>
#include <array>

#include "platform/db/Database.h"

namespace ModMurv {

// ---- Paths and connections (set once by the start-up)
inline QString DataFolder;       // the program folder followed by "data/"
inline QString DataFilePath;     // DataFolder + "MurvData2K.mdb"
inline QString WorkFilePath;     // DataFolder + "MurvWork2K.mdb"
inline QString OrgDataFilePath;  // DataFolder + "OrgMurvData2K.mdb", the empty template
inline db::Database DbData;      // the data database, open for the whole run
inline db::Database DbWork;      // the work database, open for the whole run
inline QString SqlText;          // the statement being run; means nothing between procedures

// ---- Company settings (LoadCompanyInfo)
inline QString EraSetting = QStringLiteral("西暦");  // "西暦" or "和暦"
inline QDate PeriodStart;                            // invalid = not set
inline QDate PeriodEnd;                              // invalid = not set
inline QVariant CompanyTitle;                        // text or null
inline QString TaxKind = QStringLiteral("外税");
inline QString TaxRounding = QStringLiteral("切り捨て");  // "切り捨て", "四捨五入", anything else rounds up
inline QVariant TaxRate1;                                 // fraction before TaxChangeDate, or null
inline QVariant TaxRate2;                                 // fraction from TaxChangeDate on, or null
inline QVariant TaxChangeDate;                            // "yyyy/mm/dd" text, or null

// ---- Derived at start-up
inline double TaxRate = 0.05;  // the rate in force today

// ---- Hint context (set by every hint button, read by the hint editor)
inline QString HintFormName;
inline QString HintControlKey;
inline QString HintCaption;

// ---- Progress counters (ProgressStep)
inline QVariant ProgressTotal;
inline QVariant ProgressPercent;
inline QVariant ProgressInterval;

// ---- Names of the forms left through navigation buttons, newest first (FormStack)
inline std::array<QString, 7> FormNameStack;

// ---- Typed-date completion (ResolveMonthDay)
inline QString InputMMDD;
inline QDate ResolvedDate;
inline qint16 ResolvedYear = 0;
inline qint16 ResolvedMonth = 0;
inline qint16 ResolvedDay = 0;

// ---- Report parameters
// Written by a list screen right before it prints, read by its report's
// band events. Every print writes each value its report reads (a Null
// means "print nothing there"), so nothing of an earlier print shows.
inline QVariant PrnDateFrom;                    // first day of the period: a date or a "yyyy/mm/dd" text, or null
inline QVariant PrnDateTo;                      // last day of the period, in the same forms
inline QVariant PrnTotal;                       // total in yen, or null
inline QVariant PrnTaxTotal;                    // total tax in yen, or null
inline QVariant PrnCount;                       // number of lines, or null
inline std::array<QVariant, 13> PrnMonthTotal;  // element k-1: month k of the period; null = empty
inline std::array<QVariant, 13> PrnMonthTax;    // element 12 is not used
inline QString PrnRankKind;                     // "科目別" or "取引先別"

// Puts the company settings back to their values before any row is read.
void ResetCompanySettings();

// Puts every value back to its state before the start-up (closing both
// connections). For tests and for a clean shut-down.
void ResetState();

}  // namespace ModMurv
