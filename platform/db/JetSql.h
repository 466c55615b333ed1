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
//   a trailing ";"               -> dropped; anything but blanks after it is refused
//   5--3                         -> 5- -3 (Jet has no comments)
//   order by <text column>       -> order by <text column> COLLATE JA (the Japanese order;
//                                   the columns themselves keep SQLite's binary order)

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace db {

struct Token {
    enum Kind { Space, Word, Number, String, DateLit, Bracket, Op, Param };
    Kind kind;
    QString text;  // Word/Number/Op: as written; String/DateLit/Bracket: the content, unescaped;
                   // Param: the SQLite parameter ("?1")
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
    // Whether `column` of `table` (as written in the statement, with the alias
    // the external-database clause gave it, if any) is a text column: sorting
    // on it then follows the Japanese order.
    virtual bool IsTextColumn(const QString& alias, const QString& table, const QString& column) {
        (void)alias, (void)table, (void)column;
        return false;
    }
};

struct Translation {
    QString sql;            // the SQLite statement
    bool isSelect = false;  // a select statement
    // For a select that reads one table with no grouping, join or distinct:
    // the table (qualified when it lives in an attached file) and the offset in
    // `sql` just after the select keyword, where a rowid column can be put.
    QString singleTable;
    qsizetype selectListOffset = -1;
};

bool TranslateJet(const QString& jet, SqlContext& context, Translation* out, QString* error);

// A statement whose literal values in its where clause are taken out as
// parameters, so that statements that differ only in those values (a rowid,
// a name, a date) share one translation and one prepared statement.
struct ParameterizedJet {
    std::vector<Token> tokens;     // the literals replaced by Param tokens
    std::vector<QVariant> values;  // the values of ?1, ?2, ... in their stored forms
    QString key;                   // the same for statements that differ only in the values
};
bool ParameterizeJet(const QString& jet, ParameterizedJet* out, QString* error);
// TranslateJet over tokens already read (and parameterized).
bool TranslateTokens(std::vector<Token> tokens, const QString& jet, SqlContext& context, Translation* out,
                     QString* error);

// Quotes an identifier for SQLite.
QString QuoteIdent(const QString& name);

}  // namespace db
