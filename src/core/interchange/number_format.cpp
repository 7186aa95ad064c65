#include "core/interchange/number_format.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace lexanta {

namespace {

// Excel's General: up to 11 significant digits, no trailing zeros.
QString general(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qlonglong>(value));
    QString text = QString::number(value, 'g', 11);
    if (text.contains(QLatin1Char('e'))) {
        // Six significant digits, as Excel shows 1E+20 and 1.23457E-12.
        text = QString::number(value, 'E', 5);
        const qsizetype e = text.indexOf(QLatin1Char('E'));
        qsizetype end = e;
        while (text[end - 1] == QLatin1Char('0'))
            --end;
        if (text[end - 1] == QLatin1Char('.'))
            --end;
        text.remove(end, e - end);
    }
    return text;
}

// The section of a format that shows `value` (positive and zero; negative; zero), without
// colours and conditions, quotes kept as literal text and a currency "[$€-407]" as its symbol.
// `negative` tells that a section of its own shows negative numbers, without their sign.
QString sectionFor(const QString& code, double value, bool& negative) {
    QStringList sections{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        QString& out = sections.last();
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            out += c;
        } else if (!quoted && c == QLatin1Char(';')) {
            sections << QString();
        } else if (!quoted && c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                break;
            if (code[i + 1] == QLatin1Char('$')) {
                const QString currency =
                    code.mid(i + 2, end - i - 2).section(QLatin1Char('-'), 0, 0);
                out += QLatin1Char('"') + currency + QLatin1Char('"');
            }
            i = end;
        } else if (!quoted && c == QLatin1Char('\\') && i + 1 < code.size()) {
            out += QLatin1Char('"');
            out += code[++i];
            out += QLatin1Char('"');
        } else {
            out += c;
        }
    }
    negative = value < 0 && sections.size() >= 2 && !sections[1].isEmpty();
    if (negative)
        return sections[1];
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return sections[2];
    return sections[0];
}

bool isDateFormat(const QString& section) {
    bool quoted = false;
    for (const QChar c : section) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && QStringLiteral("ymdhsYMDHS").contains(c))
            return true;
    }
    return false;
}

QString formatDate(double value, const QString& section, bool date1904) {
    const QDate epoch = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const double days = std::floor(value);
    qint64 seconds = std::llround((value - days) * 86400.0);
    const QDate date = epoch.addDays(static_cast<qint64>(days) + seconds / 86400);
    seconds %= 86400;
    const int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
              second = static_cast<int>(seconds % 60);
    const bool twelveHour = section.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive);
    const QLocale english(QLocale::English);
    QString out;
    bool lastWasHour = false;
    for (qsizetype i = 0; i < section.size();) {
        const QChar c = section[i].toLower();
        qsizetype run = 1;
        while (i + run < section.size() && section[i + run].toLower() == c)
            ++run;
        if (section[i] == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            out += section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end + 1;
            continue;
        }
        if (section.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            out += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            i += 5;
            continue;
        }
        const auto pad = [run](int v) {
            return QString::number(v).rightJustified(run >= 2 ? 2 : 1, QLatin1Char('0'));
        };
        if (c == QLatin1Char('y')) {
            out += run <= 2 ? QString::number(date.year() % 100).rightJustified(2, QLatin1Char('0'))
                            : QString::number(date.year());
        } else if (c == QLatin1Char('d')) {
            out += run >= 4   ? english.dayName(date.dayOfWeek(), QLocale::LongFormat)
                   : run == 3 ? english.dayName(date.dayOfWeek(), QLocale::ShortFormat)
                              : pad(date.day());
        } else if (c == QLatin1Char('m')) {
            // Minutes right after hours or right before seconds; months otherwise.
            const QString rest = section.mid(i + run).trimmed();
            const bool minutes = run <= 2 && (lastWasHour || rest.startsWith(QLatin1Char(':')) ||
                                              rest.startsWith(QLatin1Char('s')));
            if (minutes)
                out += pad(minute);
            else
                out += run >= 4   ? english.monthName(date.month(), QLocale::LongFormat)
                       : run == 3 ? english.monthName(date.month(), QLocale::ShortFormat)
                                  : pad(date.month());
        } else if (c == QLatin1Char('h')) {
            out += pad(twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour);
        } else if (c == QLatin1Char('s')) {
            out += pad(second);
        } else {
            out += section.mid(i, run);
        }
        lastWasHour = c == QLatin1Char('h') || (lastWasHour && !c.isLetter());
        i += run;
    }
    return out;
}

// `sign`: whether a negative value shows its minus (not when a section of its own shows it).
QString formatFixed(double value, const QString& section, bool sign) {
    bool percent = false, thousands = false;
    int decimals = 0, integerZeros = 0;
    bool afterPoint = false, quoted = false;
    QString prefix, suffix;
    bool seenDigit = false;
    for (const QChar c : section) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            continue;
        }
        if (quoted || !QStringLiteral("0#?.,%").contains(c)) {
            if (c != QLatin1Char('_') && c != QLatin1Char('*') && c != QLatin1Char('@'))
                (seenDigit ? suffix : prefix) += c;
            continue;
        }
        if (c == QLatin1Char('%'))
            percent = true;
        else if (c == QLatin1Char(','))
            thousands = true;
        else if (c == QLatin1Char('.'))
            afterPoint = true;
        else if (afterPoint &&
                 (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?')))
            ++decimals;
        else if (c == QLatin1Char('0'))
            ++integerZeros;
        seenDigit = true;
    }
    if (!seenDigit)
        return prefix.isEmpty() ? general(value) : prefix;
    if (percent)
        value *= 100;
    QString number = QString::number(std::fabs(value), 'f', decimals);
    // "00000" keeps leading zeros: 42 shows as 00042.
    const qsizetype digits =
        number.indexOf(QLatin1Char('.')) < 0 ? number.size() : number.indexOf(QLatin1Char('.'));
    if (digits < integerZeros)
        number.prepend(QString(integerZeros - digits, QLatin1Char('0')));
    if (thousands) {
        const qsizetype point = number.indexOf(QLatin1Char('.'));
        for (qsizetype i = (point < 0 ? number.size() : point) - 3; i > 0; i -= 3)
            number.insert(i, QLatin1Char(','));
    }
    return (sign && value < 0 ? QStringLiteral("-") : QString()) + prefix + number + suffix +
           (percent ? QStringLiteral("%") : QString());
}

// "# ?/?" and the like: a whole part when the format has one, then the nearest fraction whose
// denominator has at most the format's digits (or is the format's fixed denominator).
QString formatFraction(double value, const QString& section, bool sign) {
    const qsizetype slash = section.indexOf(QLatin1Char('/'));
    const QString before = section.left(slash).trimmed(), after = section.mid(slash + 1).trimmed();
    const bool whole = before.contains(QLatin1Char(' '));
    bool fixed = false;
    const int fixedDenominator = after.toInt(&fixed);
    const auto places = std::count_if(after.begin(), after.end(), [](QChar c) {
        return c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('0');
    });
    const int maxDenominator =
        fixed && fixedDenominator > 0
            ? fixedDenominator
            : static_cast<int>(std::pow(10, std::clamp<int>(static_cast<int>(places), 1, 4))) - 1;
    const double magnitude = std::fabs(value);
    const double integer = whole ? std::floor(magnitude) : 0;
    const double rest = magnitude - integer;
    long long numerator = 0, denominator = 1;
    double best = rest;
    for (int d = fixed ? maxDenominator : 1; d <= maxDenominator; ++d) {
        const long long n = std::llround(rest * d);
        if (const double error = std::fabs(rest - static_cast<double>(n) / d); error < best) {
            best = error;
            numerator = n;
            denominator = d;
        }
    }
    QString out = sign && value < 0 ? QStringLiteral("-") : QString();
    long long wholePart = static_cast<long long>(integer);
    // A fraction that rounds to one joins the whole part; without one it shows as 1/1.
    if (whole && !fixed && numerator == denominator) {
        ++wholePart;
        numerator = 0;
    }
    if (numerator == 0)
        return out + QString::number(whole ? wholePart : 0);
    if (wholePart != 0)
        out += QString::number(wholePart) + QLatin1Char(' ');
    return out + QStringLiteral("%1/%2").arg(numerator).arg(denominator);
}

} // namespace

QString builtinNumberFormat(int id) {
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 11:
        return QStringLiteral("0.00E+00");
    case 14:
        return QStringLiteral("m/d/yyyy");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("m/d/yyyy h:mm");
    case 37:
        return QStringLiteral("#,##0 ;(#,##0)");
    case 38:
        return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39:
        return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40:
        return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mmss.0");
    case 48:
        return QStringLiteral("##0.0E+0");
    case 49:
        return QStringLiteral("@");
    default:
        return {};
    }
}

QString formatNumber(double value, const QString& code, bool date1904) {
    if (!std::isfinite(value))
        return QString::number(value);
    if (code.isEmpty() || code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        code == QLatin1String("@"))
        return general(value);
    bool negative = false;
    const QString section = sectionFor(code, value, negative);
    const QString minus = value < 0 && !negative ? QStringLiteral("-") : QString();
    if (section.contains(QLatin1Char('E'), Qt::CaseInsensitive) && !isDateFormat(section))
        return minus + QString::number(std::fabs(value), 'E', 2);
    if (isDateFormat(section))
        return value >= 0 && value < 2958466 ? formatDate(value, section, date1904)
                                             : general(value);
    if (section.contains(QLatin1Char('/')))
        return formatFraction(value, section, !negative);
    return formatFixed(value, section, !negative);
}

} // namespace lexanta
