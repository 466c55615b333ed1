#pragma once
// Readable failure output for Qt values in GoogleTest.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral(" | ")).toStdString() << ']';
}
inline void PrintTo(const QDate& d, std::ostream* os) {
    *os << (d.isValid() ? d.toString(Qt::ISODate).toStdString() : std::string("(invalid date)"));
}
inline void PrintTo(const QVariant& v, std::ostream* os) {
    if (v.isNull()) *os << "Null";
    else *os << v.typeName() << '(' << v.toString().toStdString() << ')';
}
