// The translation of a Jet statement: the tokens become pieces, each rewrite
// below changes the pieces it concerns, and the pieces are written out again.
#include "platform/db/JetSql.h"

#include <QRegularExpression>

#include "platform/db/Collation.h"
#include "platform/db/StoredForms.h"

namespace db {

QString QuoteIdent(const QString& name) {
    QString q = name;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

namespace {

// A token after rewriting: either one of the tokenizer's, or text to emit as is.
struct Piece {
    Token tok;
    bool raw = false;
    bool removed = false;
    QString extAlias{}, extTable{};  // a table of another file: its alias and name
};

bool IsWord(const Piece& p, const char16_t* word) {
    return !p.raw && !p.removed && p.tok.kind == Token::Word &&
           p.tok.text.compare(QString::fromUtf16(word), Qt::CaseInsensitive) == 0;
}

bool IsOp(const Piece& p, const char16_t* op) {
    return !p.raw && !p.removed && p.tok.kind == Token::Op && p.tok.text == QString::fromUtf16(op);
}

QString StringLiteral(const QString& text) {
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

void SetRaw(Piece* p, const QString& text) {
    p->raw = true;
    p->tok.text = text;
}

QDate ParseDateLiteral(const QString& text) {
    QDate d = DateFromText(text);
    if (d.isValid()) return d;
    // The platform's other reading of a date literal: m/d/yyyy.
    static const QRegularExpression us(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const auto m = us.match(text);
    if (m.hasMatch()) d = QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    return d;
}

// Jet pattern -> SQLite like pattern with '\' as the escape character.
bool LikePattern(const QString& jet, QString* out, bool* usesEscape, QString* error) {
    QString p;
    *usesEscape = false;
    auto literal = [&](QChar c) {
        if (c == u'%' || c == u'_' || c == u'\\') {
            p += u'\\';
            *usesEscape = true;
        }
        p += c;
    };
    for (qsizetype i = 0; i < jet.size(); ++i) {
        const QChar c = jet[i];
        if (c == u'*') {
            p += u'%';
        } else if (c == u'?') {
            p += u'_';
        } else if (c == u'[') {
            const qsizetype close = jet.indexOf(u']', i + 1);
            if (close == i + 2) {
                literal(jet[i + 1]);
                i = close;
            } else if (close == i + 1 && i + 2 < jet.size() && jet[i + 2] == u']') {
                literal(u']');  // "[]]"
                i += 2;
            } else {
                *error = QStringLiteral("character ranges in like patterns are not supported");
                return false;
            }
        } else if (c == u'#') {
            *error = QStringLiteral("digit wildcards in like patterns are not supported");
            return false;
        } else {
            literal(c);
        }
    }
    *out = p;
    return true;
}

// The statement being translated: its pieces, and the indexes of the
// significant ones (neither blank nor removed).
class Statement {
public:
    explicit Statement(const std::vector<Token>& tokens) {
        pieces_.reserve(tokens.size());
        for (const auto& t : tokens) pieces_.push_back({t});
        Reindex();
    }

    void Reindex() {
        sig_.clear();
        for (int i = 0; i < static_cast<int>(pieces_.size()); ++i) {
            if (pieces_[i].removed) continue;
            if (!pieces_[i].raw && pieces_[i].tok.kind == Token::Space) continue;
            sig_.push_back(i);
        }
    }

    size_t Count() const { return sig_.size(); }
    Piece* At(size_t k) { return k < sig_.size() ? &pieces_[sig_[k]] : nullptr; }
    const Piece* At(size_t k) const { return k < sig_.size() ? &pieces_[sig_[k]] : nullptr; }
    int PieceIndex(size_t k) const { return sig_[k]; }
    std::vector<Piece>& Pieces() { return pieces_; }

    // Removes the blanks between two significant pieces.
    void RemoveBlanksBetween(size_t from, size_t to) {
        for (int i = sig_[from] + 1; i < sig_[to]; ++i)
            if (pieces_[i].tok.kind == Token::Space) pieces_[i].removed = true;
    }

    // The text of the pieces [from, to); `offsets` gets each piece's place in it.
    QString Emit(int from, int to, std::vector<qsizetype>* offsets = nullptr) const {
        QString out;
        if (offsets) offsets->assign(pieces_.size(), -1);
        for (int i = from; i < to; ++i) {
            const Piece& p = pieces_[i];
            if (p.removed) continue;
            QString text;
            if (p.raw) {
                text = p.tok.text;
            } else {
                switch (p.tok.kind) {
                case Token::Space: text = QStringLiteral(" "); break;
                case Token::String: text = StringLiteral(p.tok.text); break;
                case Token::Bracket: text = QuoteIdent(p.tok.text); break;
                default: text = p.tok.text; break;
                }
            }
            // Two pieces that SQLite would read as the start of a comment
            // ("-" "-", "/" "*") are kept apart: Jet has no comments.
            if (!out.isEmpty() && !text.isEmpty() &&
                ((out.back() == u'-' && text.front() == u'-') || (out.back() == u'/' && text.front() == u'*')))
                out += u' ';
            if (offsets) (*offsets)[i] = out.size();
            out += text;
        }
        return out.trimmed();
    }
    QString EmitAll(std::vector<qsizetype>* offsets = nullptr) const {
        return Emit(0, static_cast<int>(pieces_.size()), offsets);
    }
    QString EmitSignificant(size_t k) const { return Emit(sig_[k], sig_[k] + 1); }
    // From the significant piece k to the end.
    QString EmitFrom(size_t k) const { return Emit(sig_[k], static_cast<int>(pieces_.size())); }

private:
    std::vector<Piece> pieces_;
    std::vector<int> sig_;
};

// ---------------------------------------------------------------- the rewrites

// Blanks and ";" at the end, blanks at the start. Anything else after a ";"
// is a second statement, which is refused: running only the first and
// reporting success would hide that the rest never ran.
bool DropTrailingSemicolon(const QString& jet, std::vector<Token>* tokens, QString* error) {
    bool afterSemicolon = false;
    for (const Token& t : *tokens) {
        const bool semicolon = t.kind == Token::Op && t.text == u";";
        if (afterSemicolon && !semicolon && t.kind != Token::Space) {
            *error = QStringLiteral("more than one statement: %1").arg(jet);
            return false;
        }
        afterSemicolon = afterSemicolon || semicolon;
    }
    while (!tokens->empty() &&
           (tokens->back().kind == Token::Space || (tokens->back().kind == Token::Op && tokens->back().text == u";")))
        tokens->pop_back();
    while (!tokens->empty() && tokens->front().kind == Token::Space) tokens->erase(tokens->begin());
    return true;
}

// "delete * from T" -> "delete from T".
void RewriteDeleteStar(Statement& s) {
    if (s.Count() < 3 || !IsWord(*s.At(0), u"delete") || !IsOp(*s.At(1), u"*") || !IsWord(*s.At(2), u"from")) return;
    s.At(1)->removed = true;
    auto& pieces = s.Pieces();
    const int star = s.PieceIndex(1);
    if (star + 1 < static_cast<int>(pieces.size()) && pieces[star + 1].tok.kind == Token::Space)
        pieces[star + 1].removed = true;
}

// "T in '<path>'" -> alias."T", the file attached through the context.
bool RewriteExternalDatabase(Statement& s, SqlContext& context, QString* error) {
    for (size_t k = 1; k + 1 < s.Count(); ++k) {
        Piece* in = s.At(k);
        Piece* path = s.At(k + 1);
        Piece* table = s.At(k - 1);
        if (!IsWord(*in, u"in") || path->raw || path->tok.kind != Token::String) continue;
        if (table->raw || (table->tok.kind != Token::Word && table->tok.kind != Token::Bracket)) continue;
        QString alias;
        if (!context.ExternalAlias(path->tok.text, &alias, error)) return false;
        table->extAlias = alias;
        table->extTable = table->tok.text;
        if (!alias.isEmpty()) SetRaw(table, alias + u'.' + QuoteIdent(table->tok.text));
        in->removed = true;
        path->removed = true;
        s.RemoveBlanksBetween(k - 1, k + 1);
    }
    s.Reindex();
    return true;
}

// #yyyy/mm/dd# -> 'yyyy-mm-dd'.
bool RewriteDateLiteral(Piece& p, QString* error) {
    const QDate d = ParseDateLiteral(p.tok.text);
    if (!d.isValid()) {
        *error = QStringLiteral("invalid date literal #%1#").arg(p.tok.text);
        return false;
    }
    SetRaw(&p, StringLiteral(DateToStored(d)));
    return true;
}

// True / False -> -1 / 0.
bool RewriteYesNo(Piece& p) {
    if (IsWord(p, u"true")) SetRaw(&p, QString::number(kStoredTrue));
    else if (IsWord(p, u"false")) SetRaw(&p, QString::number(kStoredFalse));
    else return false;
    return true;
}

// like 'ab*c?' -> like 'ab%c_', with an escape where the pattern needs one.
bool RewriteLike(Statement& s, size_t k, QString* error) {
    Piece* pattern = s.At(k + 1);
    if (!pattern || pattern->raw || pattern->tok.kind != Token::String) return true;
    QString text;
    bool escape = false;
    if (!LikePattern(pattern->tok.text, &text, &escape, error)) return false;
    SetRaw(pattern, StringLiteral(text) + (escape ? QStringLiteral(" ESCAPE '\\'") : QString()));
    return true;
}

// isnull(x) -> ((x) IS NULL).
bool RewriteIsNull(Statement& s, size_t k, QString* error) {
    if (!s.At(k + 1) || !IsOp(*s.At(k + 1), u"(")) return true;
    int depth = 0;
    size_t close = 0;
    for (size_t j = k + 1; j < s.Count(); ++j) {
        if (IsOp(*s.At(j), u"(")) {
            ++depth;
        } else if (IsOp(*s.At(j), u")") && --depth == 0) {
            close = j;
            break;
        }
    }
    if (close == 0) {
        *error = QStringLiteral("unbalanced parentheses after isnull");
        return false;
    }
    SetRaw(s.At(k), QStringLiteral("("));
    SetRaw(s.At(close), QStringLiteral(") IS NULL)"));
    return true;
}

// a & b -> a || b.
void RewriteConcat(Piece& p) {
    if (p.tok.text == u"&") SetRaw(&p, QStringLiteral("||"));
}

// The rewrites of single pieces and of the words that open a construct.
bool RewriteExpressions(Statement& s, QString* error) {
    for (size_t k = 0; k < s.Count(); ++k) {
        Piece& p = *s.At(k);
        if (p.raw) continue;
        switch (p.tok.kind) {
        case Token::DateLit:
            if (!RewriteDateLiteral(p, error)) return false;
            break;
        case Token::Word:
            if (RewriteYesNo(p)) break;
            if (IsWord(p, u"like") && !RewriteLike(s, k, error)) return false;
            if (IsWord(p, u"isnull") && !RewriteIsNull(s, k, error)) return false;
            break;
        case Token::Op: RewriteConcat(p); break;
        default: break;
        }
    }
    return true;
}

// insert into T select ...: the select's output names become T's column list.
bool AddInsertColumnList(Statement& s, SqlContext& context, QString* error) {
    if (s.Count() < 4 || !IsWord(*s.At(0), u"insert") || !IsWord(*s.At(1), u"into") || !IsWord(*s.At(3), u"select"))
        return true;
    QStringList names;
    if (!context.SelectColumnNames(s.EmitFrom(3), &names, error)) return false;
    QStringList quoted;
    for (const auto& n : names) quoted << QuoteIdent(n);
    const QString tableText = s.EmitSignificant(2);
    SetRaw(s.At(2), tableText + QStringLiteral(" (") + quoted.join(u',') + u')');
    return true;
}

// The tables a statement reads (after "from" and "join"): alias and name.
std::vector<std::pair<QString, QString>> SourceTables(const Statement& s) {
    std::vector<std::pair<QString, QString>> tables;
    for (size_t k = 0; k + 1 < s.Count(); ++k) {
        if (!IsWord(*s.At(k), u"from") && !IsWord(*s.At(k), u"join")) continue;
        const Piece& t = *s.At(k + 1);
        if (!t.extTable.isEmpty()) tables.emplace_back(t.extAlias, t.extTable);
        else if (!t.raw && (t.tok.kind == Token::Word || t.tok.kind == Token::Bracket))
            tables.emplace_back(QString(), t.tok.text);
    }
    return tables;
}

// "order by" terms that are text columns sort in the Japanese order: the
// columns are stored with SQLite's own binary order, so that equality stays
// exact and any SQLite tool can read the file; the order is the statement's.
void AddJapaneseOrder(Statement& s, SqlContext& context) {
    std::vector<std::pair<QString, QString>> tables;
    bool tablesRead = false;
    int depth = 0;
    for (size_t k = 0; k + 1 < s.Count(); ++k) {
        if (IsOp(*s.At(k), u"(")) ++depth;
        else if (IsOp(*s.At(k), u")")) --depth;
        if (depth != 0 || !IsWord(*s.At(k), u"order") || !IsWord(*s.At(k + 1), u"by")) continue;
        // Each term: a column (as a word or [name]) followed by "," or ASC/DESC or the end.
        for (size_t t = k + 2; t < s.Count();) {
            Piece& column = *s.At(t);
            size_t next = t + 1;
            const bool name = !column.raw && (column.tok.kind == Token::Word || column.tok.kind == Token::Bracket);
            if (next < s.Count() && (IsWord(*s.At(next), u"asc") || IsWord(*s.At(next), u"desc"))) ++next;
            const bool ends = next >= s.Count() || IsOp(*s.At(next), u",") || IsOp(*s.At(next), u")");
            if (name && ends && !IsWord(column, u"asc") && !IsWord(column, u"desc")) {
                if (!tablesRead) {
                    tables = SourceTables(s);
                    tablesRead = true;
                }
                for (const auto& [alias, table] : tables) {
                    if (!context.IsTextColumn(alias, table, column.tok.text)) continue;
                    const QString text =
                        column.tok.kind == Token::Bracket ? QuoteIdent(column.tok.text) : column.tok.text;
                    SetRaw(&column, text + QStringLiteral(" COLLATE ") + QString::fromLatin1(kJapaneseCollation));
                    break;
                }
            }
            // On to the term after the next ",".
            while (next < s.Count() && !IsOp(*s.At(next), u",")) {
                if (IsOp(*s.At(next), u")")) return;
                ++next;
            }
            t = next + 1;
        }
        return;
    }
}

// A select of one table without grouping, joins or distinct rows: the table
// and where a rowid column can be put.
void FindSingleTable(const Statement& s, const std::vector<qsizetype>& offsets, Translation* t) {
    int depth = 0;
    int fromAt = -1;
    for (size_t k = 1; k < s.Count(); ++k) {
        const Piece& p = *s.At(k);
        if (IsOp(p, u"(")) {
            ++depth;
        } else if (IsOp(p, u")")) {
            --depth;
        } else if (depth == 0) {
            if (IsWord(p, u"distinct") || IsWord(p, u"group") || IsWord(p, u"join") || IsWord(p, u"union") ||
                IsWord(p, u"having"))
                return;
            if (IsWord(p, u"from") && fromAt < 0) fromAt = static_cast<int>(k);
        }
    }
    if (fromAt <= 0 || static_cast<size_t>(fromAt) + 1 >= s.Count()) return;
    size_t k = fromAt + 1;
    QString table = s.EmitSignificant(k);
    ++k;
    // alias.table
    if (k + 1 < s.Count() && IsOp(*s.At(k), u".")) {
        table += u'.' + s.EmitSignificant(k + 1);
        k += 2;
    }
    const bool endsWell = k >= s.Count() || IsWord(*s.At(k), u"where") || IsWord(*s.At(k), u"order");
    if (!endsWell) return;
    t->singleTable = table;
    t->selectListOffset = offsets[s.PieceIndex(0)] + s.At(0)->tok.text.size();
}

}  // namespace

bool TranslateJet(const QString& jet, SqlContext& context, Translation* out, QString* error) {
    std::vector<Token> tokens;
    if (!Tokenize(jet, &tokens, error)) return false;
    return TranslateTokens(std::move(tokens), jet, context, out, error);
}

bool TranslateTokens(std::vector<Token> tokens, const QString& jet, SqlContext& context, Translation* out,
                     QString* error) {
    if (!DropTrailingSemicolon(jet, &tokens, error)) return false;

    Statement s(tokens);
    RewriteDeleteStar(s);
    if (!RewriteExternalDatabase(s, context, error)) return false;
    if (!RewriteExpressions(s, error)) return false;

    Translation t;
    t.isSelect = s.Count() > 0 && IsWord(*s.At(0), u"select");
    if (!AddInsertColumnList(s, context, error)) return false;
    AddJapaneseOrder(s, context);

    std::vector<qsizetype> offsets;
    t.sql = s.EmitAll(&offsets);
    if (t.isSelect) FindSingleTable(s, offsets, &t);
    *out = t;
    return true;
}

bool ParameterizeJet(const QString& jet, ParameterizedJet* out, QString* error) {
    out->tokens.clear();
    out->values.clear();
    out->key.clear();
    if (!Tokenize(jet, &out->tokens, error)) return false;
    out->key.reserve(jet.size() + 2 * static_cast<qsizetype>(out->tokens.size()) + 8);
    // Whether a word is the keyword, in any case (the length first: most words are not).
    const auto is = [](const QString& word, QStringView keyword) {
        return word.size() == keyword.size() && word.compare(keyword, Qt::CaseInsensitive) == 0;
    };
    // The literals of the where clause, but not a like pattern (rewritten as
    // a literal) nor the path of an external-database clause.
    bool inWhere = false;
    const Token* previous = nullptr;
    for (Token& t : out->tokens) {
        if (t.kind == Token::Word) {
            if (is(t.text, u"where")) inWhere = true;
            else if (is(t.text, u"order") || is(t.text, u"group") || is(t.text, u"having") || is(t.text, u"union"))
                inWhere = false;
        }
        const bool kept =
            previous && previous->kind == Token::Word && (is(previous->text, u"like") || is(previous->text, u"in"));
        if (inWhere && !kept && (t.kind == Token::String || t.kind == Token::Number || t.kind == Token::DateLit)) {
            QVariant value;
            if (t.kind == Token::String) {
                value = t.text;
            } else if (t.kind == Token::DateLit) {
                const QDate d = ParseDateLiteral(t.text);
                if (!d.isValid()) {
                    *error = QStringLiteral("invalid date literal #%1#").arg(t.text);
                    return false;
                }
                value = DateToStored(d);
            } else {
                bool whole = false;
                const qint64 n = t.text.toLongLong(&whole);
                value = whole ? QVariant(n) : QVariant(t.text.toDouble());
            }
            out->values.push_back(value);
            t = Token{Token::Param, u'?' + QString::number(out->values.size())};
        }
        out->key.append(QChar(u'a' + t.kind)).append(t.text).append(QChar(0x1f));
        if (t.kind != Token::Space) previous = &t;
    }
    return true;
}

}  // namespace db
