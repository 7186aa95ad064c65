#include "core/interchange/number_format.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace lexanta {

namespace {

// Excel's General: up to 11 significant digits, no trailing zeros.
QString general(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qlonglong>(value));
    QString text = QString::number(value, 'g', 11);
    if (text.contains(QLatin1Char('e')))
        text = QString::number(value, 'E', 5);
    return text;
}

// The first section of a format (positive numbers), without colours, conditions and quotes
// kept as literal text.
QString firstSection(const QString& code) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            out += c;
        } else if (!quoted && c == QLatin1Char(';')) {
            break;
        } else if (!quoted && c == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                break;
            i = end;
        } else if (!quoted && c == QLatin1Char('\\') && i + 1 < code.size()) {
            out += QLatin1Char('"');
            out += code[++i];
            out += QLatin1Char('"');
        } else {
            out += c;
        }
    }
    return out;
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

QString formatFixed(double value, const QString& section) {
    bool percent = false, thousands = false;
    int decimals = 0;
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
        seenDigit = true;
    }
    if (!seenDigit)
        return prefix.isEmpty() ? general(value) : prefix;
    if (percent)
        value *= 100;
    QString number = QString::number(std::fabs(value), 'f', decimals);
    if (thousands) {
        const qsizetype point = number.indexOf(QLatin1Char('.'));
        for (qsizetype i = (point < 0 ? number.size() : point) - 3; i > 0; i -= 3)
            number.insert(i, QLatin1Char(','));
    }
    return (value < 0 ? QStringLiteral("-") : QString()) + prefix + number + suffix +
           (percent ? QStringLiteral("%") : QString());
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
    const QString section = firstSection(code);
    if (section.contains(QLatin1Char('E'), Qt::CaseInsensitive) && !isDateFormat(section))
        return QString::number(value, 'E', 2);
    if (isDateFormat(section) && value >= 0 && value < 2958466)
        return formatDate(value, section, date1904);
    return formatFixed(value, section);
}

} // namespace lexanta
