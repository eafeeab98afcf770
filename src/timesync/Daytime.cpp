#include "timesync/Daytime.h"

#include <QDate>
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

// The day number (Modified Julian Date) of a date.
qint64 modifiedJulianDay(const QDate& date)
{
    return date.toJulianDay() - 2400001;
}

// The line's date and time, read by positions from p, the 1-based position of its first colon: the
// day number at p-17, the date YY-MM-DD at p-11, the time HH:MM:SS at p-2, separated by single
// spaces. Nothing when they do not read as such or the day number disagrees with the date.
std::optional<QDateTime> readDateAndTime(const QString& text, qsizetype p)
{
    // Without room for the day number no date can be checked.
    if (p < 18 || charsAt(text, p - 12, 1) != " " || charsAt(text, p - 9, 1) != "-" || charsAt(text, p - 3, 1) != " ")
        return std::nullopt;
    const QDate date = readDate(charsAt(text, p - 8, 5) + "-" + charsAt(text, p - 11, 2));
    const QTime time = readTime(charsAt(text, p - 2, 8));
    const auto dayNumber = digitsValue(charsAt(text, p - 17, 5));
    if (!date.isValid() || !time.isValid() || !dayNumber || *dayNumber != modifiedJulianDay(date))
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// The advance ddd.d at p+14 to p+18 as tenths of a millisecond: three digits (leading spaces
// allowed), a point, one digit, and nothing but a space or the line's end after it. A garbled or
// wider field would set the clock by a wrong amount; NIST's advance is never negative.
std::optional<qint16> readAdvance(const QString& text, qsizetype p)
{
    QString digits = charsAt(text, p + 14, 3);
    for (qsizetype i = 0; i < digits.size() && digits[i] == u' '; ++i)
        digits[i] = u'0';
    const QString after = charsAt(text, p + 19, 1);
    if (digits.size() != 3 || charsAt(text, p + 17, 1) != "." ||
        (!after.isEmpty() && after != " " && after != "\r" && after != "\n"))
        return std::nullopt;
    const auto value = digitsValue(digits + charsAt(text, p + 18, 1));
    if (!value)
        return std::nullopt;
    return qint16(*value);
}

// The 1-based position of the first colon, the one between hours and minutes; 0 when there is none.
qsizetype firstColon(const QString& text)
{
    return text.indexOf(u':') + 1;
}

} // namespace

DaytimeReading ParseDaytime(const QString& text)
{
    const qsizetype p = firstColon(text);
    const std::optional<QDateTime> instant = readDateAndTime(text, p);
    if (!instant)
        return {DaytimeStatus::Unreadable, {}, 0};
    if (charsAt(text, p + 12, 1) != "0")
        return {DaytimeStatus::Unhealthy, {}, 0};
    const std::optional<qint16> advance = readAdvance(text, p);
    if (!advance)
        return {DaytimeStatus::Unreadable, {}, 0};
    return {DaytimeStatus::Usable, *instant, *advance};
}

QString DaytimeDisplayText(const QString& reply)
{
    const qsizetype p = firstColon(reply);
    if (!readDateAndTime(reply, p) || !readAdvance(reply, p))
        return {};
    return charsAt(reply, p - 11, 8) + " " + charsAt(reply, p - 2, 8) + "." +
           charsAt(reply, p + 14, 3).replace(u' ', u'0');
}
