#include "timesync/Daytime.h"

#include <QDate>
#include <QStringList>
#include <QTime>

#include <optional>

namespace {

// The characters counted from a 1-based position; positions before the text read as nothing.
QString charsAt(const QString& text, qsizetype position, qsizetype count)
{
    if (position < 1)
        return {};
    return text.mid(position - 1, count);
}

// The value of a run of ASCII digits, or nothing when any character is not one.
std::optional<int> digitsValue(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// "MM-DD-YY" as month, day, two-digit year: 00 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999.
QDate readDate(const QString& text)
{
    if (text.size() != 8 || text[2] != u'-' || text[5] != u'-')
        return {};
    const auto month = digitsValue(QStringView(text).mid(0, 2));
    const auto day = digitsValue(QStringView(text).mid(3, 2));
    const auto year = digitsValue(QStringView(text).mid(6, 2));
    if (!month || !day || !year)
        return {};
    return QDate(*year < 30 ? 2000 + *year : 1900 + *year, *month, *day); // invalid for 30 February
}

// "HH:MM:SS" within 00:00:00 to 23:59:59.
QTime readTime(const QString& text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return {};
    const auto hours = digitsValue(QStringView(text).mid(0, 2));
    const auto minutes = digitsValue(QStringView(text).mid(3, 2));
    const auto seconds = digitsValue(QStringView(text).mid(6, 2));
    if (!hours || !minutes || !seconds)
        return {};
    return QTime(*hours, *minutes, *seconds); // invalid beyond 23:59:59
}

// The four advance characters (hundreds, tens, units, tenths) as one integer. Leading spaces and a
// minus sign before the digits are allowed; anything else means the field cannot be trusted.
std::optional<qint16> readAdvance(const QString& text)
{
    QStringView rest(text);
    if (rest.size() != 4)
        return std::nullopt;
    while (!rest.isEmpty() && rest.front() == u' ')
        rest = rest.mid(1);
    const bool negative = !rest.isEmpty() && rest.front() == u'-';
    if (negative)
        rest = rest.mid(1);
    const auto value = digitsValue(rest);
    if (!value)
        return std::nullopt;
    return qint16(negative ? -*value : *value);
}

// The advance field ddd.d has its point at p+17 and ends at p+18: a wider field ("99999.9") would be
// read cut short, as a plausible but wrong advance.
bool advanceFillsItsColumns(const QString& text, qsizetype p)
{
    const QString after = charsAt(text, p + 19, 1);
    return charsAt(text, p + 17, 1) == "." && (after.isEmpty() || after == " " || after == "\r" || after == "\n");
}

// True when field 1 reads as a date YY-MM-DD and field 2 as a time of day HH:MM:SS, as in a daytime
// line; anything else (a greeting, an error page) has no time to show.
bool readsAsDaytimeLine(const QStringList& fields)
{
    const QString& date = fields[1];
    if (date.size() != 8 || date[2] != u'-')
        return false;
    return readDate(date.mid(3) + "-" + date.left(2)).isValid() && readTime(fields[2]).isValid();
}

} // namespace

DaytimeReading ParseDaytime(const QString& text)
{
    const qsizetype p = text.indexOf(u':') + 1; // 1-based; 0 when there is none
    // Without room for the year at p-11 no date can be read.
    if (p < 12)
        return {DaytimeStatus::Unreadable, {}, 0};
    const QDate date = readDate(charsAt(text, p - 8, 5) + "-" + charsAt(text, p - 11, 2));
    const QTime time = readTime(charsAt(text, p - 2, 8));
    if (!date.isValid() || !time.isValid())
        return {DaytimeStatus::Unreadable, {}, 0};
    if (charsAt(text, p + 12, 1) != "0")
        return {DaytimeStatus::Unhealthy, {}, 0};
    // A garbled advance would set the clock by a wrong amount: refuse the reply instead.
    const auto advance = readAdvance(charsAt(text, p + 14, 3) + charsAt(text, p + 18, 1));
    if (!advance || !advanceFillsItsColumns(text, p))
        return {DaytimeStatus::Unreadable, {}, 0};
    return {DaytimeStatus::Usable, QDateTime(date, time, Qt::UTC), *advance};
}

QString DaytimeDisplayText(const QString& reply)
{
    const QStringList fields = reply.split(u' ', Qt::KeepEmptyParts);
    if (fields.size() < 7 || !readsAsDaytimeLine(fields))
        return {};
    QString advance = fields[6].left(3);
    if (advance.isEmpty())
        advance = "000";
    return fields[1] + " " + fields[2] + "." + advance;
}
