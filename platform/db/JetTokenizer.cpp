// The tokenizer of the Jet dialect: blanks, words, numbers, the three kinds
// of delimited literal ('text' or "text", #date#, [name]) and operators.
#include "platform/db/JetSql.h"

namespace db {

namespace {

bool IsWordStart(QChar c) { return c.isLetter() || c == u'_' || c.unicode() >= 0x80; }

bool IsWordChar(QChar c) { return IsWordStart(c) || c.isDigit() || c == u'$'; }

// Reads a literal closed by `close`; `doubling` lets a doubled closing
// character stand for itself. A literal without one is taken whole.
bool ReadDelimited(const QString& sql, qsizetype* pos, QChar close, bool doubling, QString* text) {
    const qsizetype start = *pos + 1;
    qsizetype i = start;
    QString out;
    bool copied = false;  // out holds the literal read so far (a doubled character met)
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                if (!copied) out = sql.mid(start, i - start);
                copied = true;
                out += c;
                i += 2;
                continue;
            }
            *text = copied ? out : sql.mid(start, i - start);
            *pos = i + 1;
            return true;
        }
        if (copied) out += c;
        ++i;
    }
    return false;
}

qsizetype NumberEnd(const QString& sql, qsizetype i) {
    const qsizetype n = sql.size();
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
    return j;
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
            const qsizetype j = NumberEnd(sql, i);
            tokens->push_back({Token::Number, sql.mid(i, j - i)});
            i = j;
        } else if (IsWordStart(c)) {
            qsizetype j = i;
            while (j < n && IsWordChar(sql[j])) ++j;
            tokens->push_back({Token::Word, sql.mid(i, j - i)});
            i = j;
        } else {
            // Jet has no comments: "--" is two minus signs (the translation
            // keeps them apart when it writes the statement out).
            const QChar next = i + 1 < n ? sql[i + 1] : QChar();
            const bool twoChar = ((c == u'<' || c == u'>' || c == u'!') && next == u'=') ||
                                 (c == u'<' && next == u'>') || (c == u'|' && next == u'|');
            if (twoChar) {
                tokens->push_back({Token::Op, sql.mid(i, 2)});
                i += 2;
            } else {
                tokens->push_back({Token::Op, QString(c)});
                ++i;
            }
        }
    }
    return true;
}

}  // namespace db
