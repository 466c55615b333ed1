#pragma once
// Translation of the statements the screens write (the Jet dialect) into
// SQLite statements, over a real tokenizer:
//   "delete * from T"            -> delete from T
//   #yyyy/mm/dd#                 -> the stored date text 'yyyy-mm-dd'
//   x like 'ab*c?'               -> x like 'ab%c_' (with an escape for literal % and _)
//   T in '<path>'                -> alias."T", the file attached once per connection
//   True / False                 -> the stored yes/no values -1 / 0
//   isnull(x)                    -> ((x) IS NULL)
//   [name]                       -> "name"
//   a & b                        -> a || b
//   insert into T select ...     -> insert into T ("c1","c2",...) select ...
//                                   (the select's output columns meet T's fields by name)
//   a trailing ";"               -> dropped

#include <QString>
#include <QStringList>
#include <vector>

namespace db {

struct Token {
    enum Kind { Space, Word, Number, String, DateLit, Bracket, Op };
    Kind kind;
    QString text;  // Word/Number/Op: as written; String/DateLit/Bracket: the content, unescaped
};

// Splits a statement into tokens. Returns false on an unterminated literal.
bool Tokenize(const QString& sql, std::vector<Token>* tokens, QString* error);

// What the translation needs to know of the connection it runs on.
class SqlContext {
public:
    virtual ~SqlContext() = default;
    // The schema name under which the database file at `path` can be read
    // (attaching it when needed); an empty text for the connection's own file.
    // Returns false with an error when the file cannot be attached.
    virtual bool ExternalAlias(const QString& path, QString* alias, QString* error) = 0;
    // The output column names of a (translated) select statement.
    virtual bool SelectColumnNames(const QString& select, QStringList* names, QString* error) = 0;
};

struct Translation {
    QString sql;             // the SQLite statement
    bool isSelect = false;   // a select statement
    // For a select that reads one table with no grouping, join or distinct:
    // the table (qualified when it lives in an attached file) and the offset in
    // `sql` just after the select keyword, where a rowid column can be put.
    QString singleTable;
    qsizetype selectListOffset = -1;
};

bool TranslateJet(const QString& jet, SqlContext& context, Translation* out, QString* error);

// Quotes an identifier for SQLite.
QString QuoteIdent(const QString& name);

}  // namespace db
