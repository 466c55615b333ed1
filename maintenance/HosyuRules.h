#pragma once
// The rules of the maintenance screen that need no screen: the end of the
// accounting period proposed for a start, the next period, tax rates typed
// in percent and stored as fractions, the name of a year-end archive, the
// condition of a period's lines and the wording of the bulk deletes.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace maintenance {

// The last day of the eleventh month after the start's month: a start of
// 2006/04/01 proposes 2007/03/31, 2006/02/15 proposes 2007/01/31.
QDate ProposedPeriodEnd(const QDate& start);

// The same day one calendar year later (29 February gives 28 February);
// an invalid date stays invalid.
QDate NextYear(const QDate& date);

// ---------------------------------------------------------------- tax rates

// A rate is typed and shown in percent (5 for 5 %) and stored as a
// fraction (0.05). Percentages keep two decimals.
// The stored fraction of a typed percentage; null stays null.
QVariant PercentToStored(const QVariant& percent);
// The percentage shown for a stored fraction; null stays null.
QVariant StoredToPercent(const QVariant& fraction);
// A typed percentage the settings accept: empty, or from 0 up to but not
// including 100.
bool IsAcceptedPercent(const QVariant& percent);

// ---------------------------------------------------------------- year-end archive

// The file name of the archive of an ending period: the title without the
// blanks at both ends, followed by ".mdb". Nothing when the title cannot
// name a file of the data folder: empty, "." or "..", a path separator or a
// control character in it, too long for a file name, or the name of one of
// the program's own files in the data folder (MurvData2K, MurvWork2K,
// OrgMurvData2K and the backup set's Murvdata, in any case, with or without
// ".mdb"), or a name start-up takes for an operation's work file and
// removes (core::IsWorkFileName: "MurvData2K.mdb.new", ".unpack-1", ...).
std::optional<QString> ArchiveFileName(const QString& title);

// The tables an archive receives, in the order they are copied; the last
// one, the expense lines, only the lines of the ending period.
QStringList ArchiveTables();

// " where 日付 >= #from# and 日付 <= #to#": the lines of a period, both ends
// included.
QString PeriodCondition(const QDate& from, const QDate& to);

// ---------------------------------------------------------------- bulk deletes

// The five delete buttons of the data-delete page, 1 to 5.
enum class BulkDelete { Partners = 1, Items = 2, Lines = 3, Everything = 4, OnePartner = 5 };

// The subject of a delete's question ("すべての取引先情報", or the partner's
// name followed by "のすべての情報") and of its completion (the same, but the
// partner's name followed by "すべての情報").
QString DeleteQuestionSubject(BulkDelete which, const QString& partner);
QString DeleteCompletionSubject(BulkDelete which, const QString& partner);

// The statements of a delete, in order, on the data database; the name is
// quoted. The company row that the delete of everything puts back is not
// among them.
QStringList DeleteStatements(BulkDelete which, const QString& partner);

}  // namespace maintenance
