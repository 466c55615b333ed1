#include "platform/db/JetSql.h"

#include <QRegularExpression>

#include "platform/db/StoredForms.h"

namespace db {

namespace {

bool IsWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}

bool IsWordChar(QChar c) {
    return IsWordStart(c) || c.isDigit() || c == u'$';
}

// Reads a literal closed by `close`; `doubling` lets a doubled closing
// character stand for itself.
bool ReadDelimited(const QString& sql, qsizetype* pos, QChar close, bool doubling, QString* text) {
    qsizetype i = *pos + 1;
    QString out;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                out += c;
                i += 2;
                continue;
            }
            *text = out;
            *pos = i + 1;
            return true;
        }
        out += c;
        ++i;
    }
    return false;
}

}  // namespace

bool Tokenize(const QString& sql, std::vector<Token>* tokens, QString* error) {
    tokens->clear();
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && sql[j].isSpace()) ++j;
            tokens->push_back({Token::Space, QStringLiteral(" ")});
            i = j;
        } else if (c == u'\'' || c == u'"') {
            QString text;
            if (!ReadDelimited(sql, &i, c, true, &text)) {
                *error = QStringLiteral("unterminated string literal");
                return false;
            }
            tokens->push_back({Token::String, text});
        } else if (c == u'#') {
            QString text;
            if (!ReadDelimited(sql, &i, u'#', false, &text)) {
                *error = QStringLiteral("unterminated date literal");
                return false;
            }
            tokens->push_back({Token::DateLit, text});
        } else if (c == u'[') {
            QString text;
            if (!ReadDelimited(sql, &i, u']', false, &text)) {
                *error = QStringLiteral("unterminated bracketed name");
                return false;
            }
            tokens->push_back({Token::Bracket, text});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (sql[j].isDigit() || sql[j] == u'.')) ++j;
            if (j < n && (sql[j] == u'e' || sql[j] == u'E')) {
                qsizetype k = j + 1;
                if (k < n && (sql[k] == u'+' || sql[k] == u'-')) ++k;
                if (k < n && sql[k].isDigit()) {
                    j = k;
                    while (j < n && sql[j].isDigit()) ++j;
                }
            }
            tokens->push_back({Token::Number, sql.mid(i, j - i)});
            i = j;
        } else if (IsWordStart(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql[j])) ++j;
            tokens->push_back({Token::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="),
                                                QStringLiteral(">="), QStringLiteral("!="),
                                                QStringLiteral("||")};
            const QString two = sql.mid(i, 2);
            if (twoChar.contains(two)) {
                tokens->push_back({Token::Op, two});
                i += 2;
            } else {
                tokens->push_back({Token::Op, QString(c)});
                ++i;
            }
        }
    }
    return true;
}

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

std::vector<int> Significant(const std::vector<Piece>& pieces) {
    std::vector<int> sig;
    for (int i = 0; i < static_cast<int>(pieces.size()); ++i) {
        if (pieces[i].removed) continue;
        if (!pieces[i].raw && pieces[i].tok.kind == Token::Space) continue;
        sig.push_back(i);
    }
    return sig;
}

QString Emit(const std::vector<Piece>& pieces, int from, int to, std::vector<qsizetype>* offsets) {
    QString out;
    if (offsets) offsets->assign(pieces.size(), -1);
    for (int i = from; i < to; ++i) {
        const Piece& p = pieces[i];
        if (p.removed) continue;
        if (offsets) (*offsets)[i] = out.size();
        if (p.raw) {
            out += p.tok.text;
            continue;
        }
        switch (p.tok.kind) {
        case Token::Space: out += u' '; break;
        case Token::String: out += StringLiteral(p.tok.text); break;
        case Token::Bracket: out += QuoteIdent(p.tok.text); break;
        default: out += p.tok.text; break;
        }
    }
    return out.trimmed();
}

void SetRaw(Piece* p, const QString& text) {
    p->raw = true;
    p->tok.text = text;
}

}  // namespace

bool TranslateJet(const QString& jet, SqlContext& context, Translation* out, QString* error) {
    std::vector<Token> tokens;
    if (!Tokenize(jet, &tokens, error)) return false;
    // Trailing ";" and blanks.
    while (!tokens.empty() &&
           (tokens.back().kind == Token::Space ||
            (tokens.back().kind == Token::Op && tokens.back().text == u";")))
        tokens.pop_back();
    while (!tokens.empty() && tokens.front().kind == Token::Space) tokens.erase(tokens.begin());

    std::vector<Piece> pieces;
    pieces.reserve(tokens.size());
    for (auto& t : tokens) pieces.push_back({t});

    std::vector<int> sig = Significant(pieces);
    auto at = [&](size_t k) -> Piece* { return k < sig.size() ? &pieces[sig[k]] : nullptr; };

    // delete * from
    if (sig.size() >= 3 && IsWord(*at(0), u"delete") && IsOp(*at(1), u"*") && IsWord(*at(2), u"from")) {
        at(1)->removed = true;
        if (sig[1] + 1 < static_cast<int>(pieces.size()) && pieces[sig[1] + 1].tok.kind == Token::Space)
            pieces[sig[1] + 1].removed = true;
    }

    // The external-database clause: <table> in '<path>'.
    for (size_t k = 1; k + 1 < sig.size(); ++k) {
        Piece* in = at(k);
        Piece* path = at(k + 1);
        Piece* table = at(k - 1);
        if (!IsWord(*in, u"in") || path->raw || path->tok.kind != Token::String) continue;
        if (table->raw || (table->tok.kind != Token::Word && table->tok.kind != Token::Bracket)) continue;
        QString alias;
        if (!context.ExternalAlias(path->tok.text, &alias, error)) return false;
        if (!alias.isEmpty()) SetRaw(table, alias + u'.' + QuoteIdent(table->tok.text));
        in->removed = true;
        path->removed = true;
        // The blanks around "in".
        for (int i = sig[k - 1] + 1; i < sig[k + 1]; ++i)
            if (pieces[i].tok.kind == Token::Space) pieces[i].removed = true;
    }
    sig = Significant(pieces);

    for (size_t k = 0; k < sig.size(); ++k) {
        Piece& p = *at(k);
        if (p.raw) continue;
        switch (p.tok.kind) {
        case Token::DateLit: {
            const QDate d = ParseDateLiteral(p.tok.text);
            if (!d.isValid()) {
                *error = QStringLiteral("invalid date literal #%1#").arg(p.tok.text);
                return false;
            }
            SetRaw(&p, StringLiteral(DateToStored(d)));
            break;
        }
        case Token::Word:
            if (IsWord(p, u"true")) {
                SetRaw(&p, QString::number(kStoredTrue));
            } else if (IsWord(p, u"false")) {
                SetRaw(&p, QString::number(kStoredFalse));
            } else if (IsWord(p, u"like") && k + 1 < sig.size() && !at(k + 1)->raw &&
                       at(k + 1)->tok.kind == Token::String) {
                QString pattern;
                bool escape = false;
                if (!LikePattern(at(k + 1)->tok.text, &pattern, &escape, error)) return false;
                SetRaw(at(k + 1), StringLiteral(pattern) + (escape ? QStringLiteral(" ESCAPE '\\'") : QString()));
            } else if (IsWord(p, u"isnull") && k + 1 < sig.size() && IsOp(*at(k + 1), u"(")) {
                int depth = 0;
                size_t close = 0;
                for (size_t j = k + 1; j < sig.size(); ++j) {
                    if (IsOp(*at(j), u"(")) ++depth;
                    else if (IsOp(*at(j), u")") && --depth == 0) { close = j; break; }
                }
                if (close == 0) {
                    *error = QStringLiteral("unbalanced parentheses after isnull");
                    return false;
                }
                SetRaw(&p, QStringLiteral("("));
                SetRaw(at(close), QStringLiteral(") IS NULL)"));
            }
            break;
        case Token::Op:
            if (p.tok.text == u"&") SetRaw(&p, QStringLiteral("||"));
            break;
        default:
            break;
        }
    }

    Translation t;
    t.isSelect = !sig.empty() && IsWord(*at(0), u"select");

    // insert into T select ...: the select's output names become T's column list.
    if (sig.size() >= 4 && IsWord(*at(0), u"insert") && IsWord(*at(1), u"into") && IsWord(*at(3), u"select")) {
        const QString select = Emit(pieces, sig[3], static_cast<int>(pieces.size()), nullptr);
        QStringList names;
        if (!context.SelectColumnNames(select, &names, error)) return false;
        QStringList quoted;
        for (const auto& n : names) quoted << QuoteIdent(n);
        Piece* table = at(2);
        const QString tableText = Emit(pieces, sig[2], sig[2] + 1, nullptr);
        SetRaw(table, tableText + QStringLiteral(" (") + quoted.join(u',') + u')');
    }

    std::vector<qsizetype> offsets;
    t.sql = Emit(pieces, 0, static_cast<int>(pieces.size()), &offsets);

    // A select of one table without grouping, joins or distinct rows.
    if (t.isSelect) {
        int depth = 0;
        int fromAt = -1;
        bool simple = true;
        for (size_t k = 1; k < sig.size(); ++k) {
            const Piece& p = *at(k);
            if (IsOp(p, u"(")) ++depth;
            else if (IsOp(p, u")")) --depth;
            else if (depth == 0) {
                if (IsWord(p, u"distinct") || IsWord(p, u"group") || IsWord(p, u"join") ||
                    IsWord(p, u"union") || IsWord(p, u"having"))
                    simple = false;
                else if (IsWord(p, u"from") && fromAt < 0)
                    fromAt = static_cast<int>(k);
            }
        }
        if (simple && fromAt > 0 && static_cast<size_t>(fromAt) + 1 < sig.size()) {
            size_t k = fromAt + 1;
            QString table = Emit(pieces, sig[k], sig[k] + 1, nullptr);
            ++k;
            // alias.table
            if (k + 1 < sig.size() && IsOp(*at(k), u".")) {
                table += u'.' + Emit(pieces, sig[k + 1], sig[k + 1] + 1, nullptr);
                k += 2;
            }
            const bool endsWell = k >= sig.size() || IsWord(*at(k), u"where") || IsWord(*at(k), u"order");
            if (endsWell) {
                t.singleTable = table;
                t.selectListOffset = offsets[sig[0]] + at(0)->tok.text.size();
            }
        }
    }
    *out = t;
    return true;
}

}  // namespace db
