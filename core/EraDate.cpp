#include "core/EraDate.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <limits>
#include <memory>

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include "core/ModMurv.h"

namespace core {

namespace {

constexpr double kMillisPerDay = 86400000.0;
constexpr qint64 kEpochJulianDay = 2440588;  // 1970-01-01

QString FromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// The Japanese calendar and the names of its eras, loaded once. Each use
// works on its own copy of the calendar.
struct EraCalendar {
    std::unique_ptr<icu::Calendar> prototype;
    QStringList names;       // by ICU era number: 明治, 大正, 昭和, 平成, 令和, ...
    QStringList initials;    // M, T, S, H, R (older eras have no letter: their name)
    int firstModernEra = 0;  // the era of 1873, the first Gregorian year: 明治

    EraCalendar() {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale locale("ja_JP@calendar=japanese");
        prototype.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), locale, status));
        if (U_FAILURE(status) || !prototype) {
            prototype.reset();
            return;
        }
        // Dates are proleptic Gregorian throughout, as QDate's are.
        if (auto* gregorian = dynamic_cast<icu::GregorianCalendar*>(prototype.get()))
            gregorian->setGregorianChange(-std::numeric_limits<double>::max(), status);

        status = U_ZERO_ERROR;
        const icu::SimpleDateFormat format(icu::UnicodeString(u"GGGG"), locale, status);
        if (U_SUCCESS(status)) {
            const icu::DateFormatSymbols* symbols = format.getDateFormatSymbols();
            int32_t nameCount = 0;
            int32_t narrowCount = 0;
            const icu::UnicodeString* full = symbols->getEraNames(nameCount);
            const icu::UnicodeString* narrow = symbols->getNarrowEras(narrowCount);
            for (int32_t i = 0; i < nameCount; ++i) {
                names << FromIcu(full[i]);
                initials << (i < narrowCount ? FromIcu(narrow[i]) : names.back());
            }
        }
        int year = 0;
        EraOf(QDate(1873, 1, 1), &firstModernEra, &year);
    }

    // The era number and the year within it; false when ICU is unusable.
    bool EraOf(const QDate& date, int* era, int* year) const {
        if (!prototype) return false;
        std::unique_ptr<icu::Calendar> calendar(prototype->clone());
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(static_cast<double>(date.toJulianDay() - kEpochJulianDay) * kMillisPerDay, status);
        *era = calendar->get(UCAL_ERA, status);
        *year = calendar->get(UCAL_YEAR, status);
        return U_SUCCESS(status);
    }

    // The date of the given era year, month and day; invalid when that day
    // does not exist or does not belong to the era.
    QDate FromEra(int era, int year, int month, int day) const {
        if (!prototype || year < 1) return QDate();
        std::unique_ptr<icu::Calendar> calendar(prototype->clone());
        calendar->clear();
        calendar->setLenient(false);
        calendar->set(UCAL_ERA, era);
        calendar->set(UCAL_YEAR, year);
        calendar->set(UCAL_MONTH, month - 1);
        calendar->set(UCAL_DATE, day);
        UErrorCode status = U_ZERO_ERROR;
        const UDate millis = calendar->getTime(status);
        if (U_FAILURE(status)) return QDate();
        const QDate date =
            QDate::fromJulianDay(kEpochJulianDay + static_cast<qint64>(std::floor(millis / kMillisPerDay)));
        // ICU accepts era years past the era's end (H32 is 2020): the date
        // must name the same era and year when read back.
        int backEra = 0;
        int backYear = 0;
        if (!EraOf(date, &backEra, &backYear) || backEra != era || backYear != year) return QDate();
        if (date.month() != month || date.day() != day) return QDate();
        return date;
    }

    QString Name(int era) const { return era >= 0 && era < names.size() ? names[era] : QString(); }
    QString Initial(int era) const { return era >= 0 && era < initials.size() ? initials[era] : QString(); }

    // The era called by its initial (any case) or its full name, from 明治 on;
    // -1 when there is none.
    int Find(const QString& token) const {
        for (int era = firstModernEra; era < names.size(); ++era) {
            if (token.size() == 1 ? token.compare(initials[era], Qt::CaseInsensitive) == 0 : token == names[era])
                return era;
        }
        return -1;
    }
};

const EraCalendar& Eras() {
    static const EraCalendar eras;
    return eras;
}

QString Padded(int value, int width) { return QStringLiteral("%1").arg(value, width, 10, QChar(u'0')); }

int YearFromTwoDigits(int yy) { return yy < 30 ? 2000 + yy : 1900 + yy; }

}  // namespace

QString FormatDate(const QDate& date, const QString& pattern) {
    if (!date.isValid()) return QString();
    int era = -1;
    int eraYear = 0;
    bool eraKnown = false;
    auto needEra = [&] {
        if (!eraKnown) eraKnown = Eras().EraOf(date, &era, &eraYear);
        return eraKnown;
    };

    QString out;
    qsizetype i = 0;
    auto at = [&](const char16_t* code) { return QStringView(pattern).mid(i).startsWith(QStringView(code)); };
    while (i < pattern.size()) {
        if (at(u"yyyy")) {
            out += Padded(date.year(), 4);
            i += 4;
        } else if (at(u"yy")) {
            out += Padded(std::abs(date.year()) % 100, 2);
            i += 2;
        } else if (at(u"mm")) {
            out += Padded(date.month(), 2);
            i += 2;
        } else if (at(u"m")) {
            out += QString::number(date.month());
            i += 1;
        } else if (at(u"dd")) {
            out += Padded(date.day(), 2);
            i += 2;
        } else if (at(u"d")) {
            out += QString::number(date.day());
            i += 1;
        } else if (at(u"ggg")) {
            if (needEra()) out += Eras().Name(era);
            i += 3;
        } else if (at(u"gg")) {
            if (needEra()) out += Eras().Name(era).left(1);
            i += 2;
        } else if (at(u"g")) {
            if (needEra()) out += Eras().Initial(era);
            i += 1;
        } else if (at(u"ee")) {
            if (needEra()) out += Padded(eraYear, 2);
            i += 2;
        } else if (at(u"e")) {
            if (needEra()) out += QString::number(eraYear);
            i += 1;
        } else {
            out += pattern[i];
            i += 1;
        }
    }
    return out;
}

QDate ParseDate(const QString& text) {
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.isEmpty()) return QDate();

    static const QRegularExpression compact(QStringLiteral(R"(^(\d{4})(\d{2})(\d{2})$)"));
    static const QRegularExpression western(
        QStringLiteral(R"(^(\d{4}|\d{2})\s*([/.\-])\s*(\d{1,2})\s*\2\s*(\d{1,2})$)"));
    static const QRegularExpression westernKanji(QStringLiteral(R"(^(\d{4})\s*年\s*(\d{1,2})\s*月\s*(\d{1,2})\s*日$)"));
    static const QRegularExpression era(
        QStringLiteral(R"(^([A-Za-z]|\p{Han}+?)\s*(\d{1,2}|元)\s*)"
                       R"((?:([/.\-])\s*(\d{1,2})\s*\3\s*(\d{1,2})|年\s*(\d{1,2})\s*月\s*(\d{1,2})\s*日)$)"));

    auto number = [](const QRegularExpressionMatch& m, int group) { return m.captured(group).toInt(); };

    if (auto m = compact.match(t); m.hasMatch()) return QDate(number(m, 1), number(m, 2), number(m, 3));
    if (auto m = western.match(t); m.hasMatch()) {
        const int year = m.capturedLength(1) == 2 ? YearFromTwoDigits(number(m, 1)) : number(m, 1);
        return QDate(year, number(m, 3), number(m, 4));
    }
    if (auto m = westernKanji.match(t); m.hasMatch()) return QDate(number(m, 1), number(m, 2), number(m, 3));
    if (auto m = era.match(t); m.hasMatch()) {
        const EraCalendar& eras = Eras();
        const int eraNumber = eras.Find(m.captured(1));
        if (eraNumber < 0) return QDate();
        const int year = m.captured(2) == QStringLiteral("元") ? 1 : number(m, 2);
        const bool slashes = m.capturedLength(3) > 0;
        const int month = number(m, slashes ? 4 : 6);
        const int day = number(m, slashes ? 5 : 7);
        return eras.FromEra(eraNumber, year, month, day);
    }
    return QDate();
}

QDate ParseDate(const QString& text, const QString& pattern) {
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (t.isEmpty()) return QDate();

    // The pattern as an expression: one group per code, blanks allowed
    // around every literal.
    QString expression = QStringLiteral("^");
    QStringList codes;
    const QString p = pattern.normalized(QString::NormalizationForm_KC);
    for (qsizetype i = 0; i < p.size();) {
        const QChar c = p.at(i);
        qsizetype j = i;
        while (j < p.size() && p.at(j) == c) ++j;
        const QString run = p.mid(i, j - i);
        if (c == u'y') expression += QStringLiteral(R"((\d{4}|\d{1,2}))");
        else if (c == u'm' || c == u'd') expression += QStringLiteral(R"((\d{1,2}))");
        else if (c == u'g') expression += QStringLiteral(R"(([A-Za-z]|\p{Han}+?))");
        else if (c == u'e') expression += QStringLiteral(R"((\d{1,2}|元))");
        else {
            for (const QChar literal : run)
                if (!literal.isSpace()) expression += QStringLiteral(R"(\s*)") + QRegularExpression::escape(literal);
            expression += QStringLiteral(R"(\s*)");
            i = j;
            continue;
        }
        codes << QString(c);
        expression += QStringLiteral(R"(\s*)");
        i = j;
    }
    const QRegularExpressionMatch m = QRegularExpression(expression + u'$').match(t);
    if (!m.hasMatch()) return ParseDate(t);

    int year = -1, month = 1, day = 1, eraNumber = -1;
    for (int k = 0; k < codes.size(); ++k) {
        const QString part = m.captured(k + 1);
        if (codes[k] == u"y") year = part.size() <= 2 ? YearFromTwoDigits(part.toInt()) : part.toInt();
        else if (codes[k] == u"e") year = part == QStringLiteral("元") ? 1 : part.toInt();
        else if (codes[k] == u"m") month = part.toInt();
        else if (codes[k] == u"d") day = part.toInt();
        else if ((eraNumber = Eras().Find(part)) < 0) return QDate();
    }
    if (codes.contains(QStringLiteral("e")) != (eraNumber >= 0) || year < 0) return ParseDate(t);
    return eraNumber >= 0 ? Eras().FromEra(eraNumber, year, month, day) : QDate(year, month, day);
}

QString FormatByEra(const QDate& date, const QString& western, const QString& era) {
    return FormatDate(date, ModMurv::EraSetting == QStringLiteral("西暦") ? western : era);
}

QString FormatForScreen(const QDate& date, const QString& western, const QString& era) {
    return FormatDate(date, ModMurv::EraSetting == QStringLiteral("和暦") ? era : western);
}

}  // namespace core
