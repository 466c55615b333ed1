#pragma once
// Every text spliced into a statement passes through one of these helpers.
// The statement supplies its own surrounding quotes:
//   "select * from 科目マスタ where 科目 = '" + db::SqlEscape(name) + "'"

#include <QString>

namespace db {

// Doubles each single quote, so the text stays one string literal.
QString SqlEscape(const QString& text);

// For the text of a like-pattern literal: also protects the pattern
// characters * ? # and [ so they match themselves.
QString SqlLikeEscape(const QString& text);

}  // namespace db
