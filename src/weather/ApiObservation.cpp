#include "weather/ApiObservation.h"

#include "weather/FeedLines.h"
#include "weather/ObservationAge.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QStringList>
#include <QTimeZone>

#include <cmath>
#include <iterator>

namespace {

enum class Quantity { Celsius, KilometresPerHour, Pascal, Metre, Percent, Degree };

struct UnitConversion {
    Quantity quantity;
    const char* unit; // the unit code without its namespace ("wmoUnit:", "unit:", ...)
    double factor;    // value in the quantity's unit = value in this unit * factor + offset
    double offset;
};

// The units the API writes observations in. Any other unit leaves its value out rather than
// showing a number taken for something it is not.
const UnitConversion Conversions[] = {
    {Quantity::Celsius, "degC", 1.0, 0.0},
    {Quantity::Celsius, "degF", 5.0 / 9.0, -32.0 * 5.0 / 9.0},
    {Quantity::KilometresPerHour, "km_h-1", 1.0, 0.0},
    {Quantity::KilometresPerHour, "m_s-1", 3.6, 0.0},
    {Quantity::Pascal, "Pa", 1.0, 0.0},
    {Quantity::Metre, "m", 1.0, 0.0},
    {Quantity::Percent, "percent", 1.0, 0.0},
    {Quantity::Degree, "degree_(angle)", 1.0, 0.0},
};

struct Bounds {
    double low;
    double high;
};

// What no instrument can report: beyond what Earth's surface has ever recorded, with a margin. Such
// a value is left out like a null.
Bounds PlausibleBounds(Quantity quantity)
{
    switch (quantity) {
    case Quantity::Celsius: return {-95.0, 65.0};
    case Quantity::KilometresPerHour: return {0.0, 420.0};
    // Sea-level pressure, 850 to 1090 hPa.
    case Quantity::Pascal: return {85'000.0, 109'000.0};
    // 1000 km lies far beyond the longest line of sight ever seen on Earth; without this bound a
    // visibility of 1e308 would reach the panel as a number of 300 digits.
    case Quantity::Metre: return {0.0, 1'000'000.0};
    case Quantity::Percent: return {0.0, 100.0};
    case Quantity::Degree: return {0.0, 360.0};
    }
    return {0.0, 0.0};
}

// The bounds are turned into the record's own unit, so that the value is checked before it is
// converted or rounded: no unbounded double ever becomes an integer.
bool WithinBounds(double value, const UnitConversion& conversion)
{
    const Bounds bounds = PlausibleBounds(conversion.quantity);
    return value >= (bounds.low - conversion.offset) / conversion.factor &&
           value <= (bounds.high - conversion.offset) / conversion.factor;
}

constexpr double MetresPerMile = 1609.344;
constexpr double PascalsPerInchOfMercury = 3386.389;
constexpr double KilometresPerMile = 1.609344;
constexpr double KilometresPerNauticalMile = 1.852;

// "wmoUnit:degC" and "unit:degC" name one unit, "qc:V" and "V" one flag: the namespace is all that
// differs.
QString WithoutNamespace(const QString& code)
{
    return code.sliced(code.lastIndexOf(u':') + 1);
}

// The observation network's quality control rejected the value ("X"), questioned it ("Q") or judged
// it bad ("B"): it is no measurement to show.
bool FailedQualityControl(const QJsonObject& property)
{
    const QString flag = WithoutNamespace(property.value("qualityControl").toString());
    return flag == u"X" || flag == u"Q" || flag == u"B";
}

// The value of a quantitative property ({"value": 10, "unitCode": "wmoUnit:degC"}) in the wanted
// quantity's unit; nothing when it is null, missing, in another unit, failed quality control or lies
// beyond what an instrument can report.
std::optional<double> ValueOf(const QJsonObject& record, const char* name, Quantity wanted)
{
    const QJsonObject property = record.value(QLatin1StringView(name)).toObject();
    const QJsonValue value = property.value("value");
    if (!value.isDouble() || FailedQualityControl(property))
        return std::nullopt;
    const QString unit = WithoutNamespace(property.value("unitCode").toString());
    for (const UnitConversion& conversion : Conversions)
        if (conversion.quantity == wanted && unit == QLatin1StringView(conversion.unit)) {
            if (!WithinBounds(value.toDouble(), conversion))
                return std::nullopt;
            return value.toDouble() * conversion.factor + conversion.offset;
        }
    return std::nullopt;
}

double Fahrenheit(double celsius)
{
    return celsius * 1.8 + 32.0;
}

// A number with fixed decimals, never "-0.0".
QString Fixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.sliced(1).toDouble() == 0.0)
        text.remove(0, 1);
    return text;
}

QString DirectionWord(double degrees)
{
    static const char* const Words[] = {"North", "Northeast", "East", "Southeast",
                                        "South", "Southwest", "West", "Northwest"};
    const double normalised = std::fmod(std::fmod(degrees, 360.0) + 360.0, 360.0);
    return QString::fromLatin1(Words[int(std::lround(normalised / 45.0)) % 8]);
}

QString TextOf(const QJsonObject& record, const char* name)
{
    return record.value(QLatin1StringView(name)).toString();
}

// API text made fit for one line of the single-byte document: no control characters, no angle
// brackets that would end the element early, and characters outside ISO-8859-1 as "?".
QByteArray DocumentText(QString text)
{
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Control || c == u'<' || c == u'>'; });
    return text.toLatin1();
}

QByteArray Element(const char* tag, const QByteArray& value)
{
    return QByteArray("\t<") + tag + ">" + value + "</" + tag + ">";
}

QDateTime ObservationTime(const QJsonObject& record, const StationInfo& station)
{
    const QDateTime stamp = QDateTime::fromString(TextOf(record, "timestamp"), Qt::ISODate);
    if (!stamp.isValid())
        return {};
    const QTimeZone zone(station.timeZone.toUtf8());
    return stamp.toTimeZone(zone.isValid() ? zone : QTimeZone::utc());
}

// "Last Updated on Jan 5 2025, 7:53 am CST", as the feed words it.
QByteArray FeedTimeText(const QDateTime& local)
{
    const QTime time = local.time();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString text = "Last Updated on " + QLocale::c().toString(local.date(), "MMM d yyyy") + ", " +
                         QString::number(hour12) + ":" + QString::number(time.minute()).rightJustified(2, u'0') +
                         (time.hour() < 12 ? " am " : " pm ") + local.timeZoneAbbreviation();
    return DocumentText(text);
}

// "Thu, 20 Feb 2025 04:51:00 +0000", with the weekday the feed writes.
QByteArray Rfc822Text(const QDateTime& local)
{
    const int offset = local.offsetFromUtc() / 60;
    const QString zone = QString(offset < 0 ? u'-' : u'+') +
                         QString::number(qAbs(offset) / 60).rightJustified(2, u'0') +
                         QString::number(qAbs(offset) % 60).rightJustified(2, u'0');
    return (QLocale::c().toString(local, "ddd, dd MMM yyyy HH:mm:ss ") + zone).toLatin1();
}

// The picture code the API's icon address names: ".../land/night/ovc?size=medium" gives "ovc".
QByteArray IconCode(const QString& icon)
{
    const QString path = icon.section(u'?', 0, 0);
    const QString last = path.section(u'/', -1).section(u',', 0, 0);
    QByteArray code = DocumentText(last);
    code.truncate(40);
    return code;
}

std::optional<QJsonObject> RecordOf(const QJsonObject& object)
{
    const QJsonObject record = object.value("properties").isObject() ? object.value("properties").toObject() : object;
    if (!record.value("timestamp").isString())
        return std::nullopt;
    return record;
}

} // namespace

std::optional<StationInfo> StationInfoFromJson(const QByteArray& json)
{
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonObject station = root.value("properties").isObject() ? root.value("properties").toObject() : root;
    const QString name = station.value("name").toString();
    if (name.isEmpty())
        return std::nullopt;
    return StationInfo{name, station.value("timeZone").toString()};
}

std::optional<QJsonObject> ObservationRecordFromJson(const QByteArray& json)
{
    std::optional<QJsonObject> record = RecordOf(QJsonDocument::fromJson(json).object());
    if (!record)
        return std::nullopt;
    const bool anyValue =
        !TextOf(*record, "textDescription").isEmpty() || ValueOf(*record, "temperature", Quantity::Celsius) ||
        ValueOf(*record, "dewpoint", Quantity::Celsius) || ValueOf(*record, "relativeHumidity", Quantity::Percent) ||
        ValueOf(*record, "windSpeed", Quantity::KilometresPerHour) ||
        ValueOf(*record, "barometricPressure", Quantity::Pascal) || ValueOf(*record, "visibility", Quantity::Metre);
    return anyValue ? record : std::nullopt;
}

bool RecordIsComplete(const QJsonObject& record)
{
    return !TextOf(record, "textDescription").trimmed().isEmpty() &&
           ValueOf(record, "temperature", Quantity::Celsius).has_value();
}

bool RecordIsAheadOf(const QJsonObject& record, const QDateTime& now)
{
    return IsAheadOfClock(QDateTime::fromString(TextOf(record, "timestamp"), Qt::ISODate), now);
}

std::optional<QJsonObject> NewestCompleteRecord(const QByteArray& json, const QDateTime& now)
{
    std::optional<QJsonObject> newest;
    QDateTime newestTime;
    const QJsonArray features = QJsonDocument::fromJson(json).object().value("features").toArray();
    for (const QJsonValue& feature : features) {
        const std::optional<QJsonObject> record = RecordOf(feature.toObject());
        if (!record || !RecordIsComplete(*record) || RecordIsAheadOf(*record, now))
            continue;
        const QDateTime time = QDateTime::fromString(TextOf(*record, "timestamp"), Qt::ISODate);
        if (time.isValid() && (!newest || time > newestTime)) {
            newest = record;
            newestTime = time;
        }
    }
    return newest;
}

QString FeedWindString(double speedKmh, std::optional<double> gustKmh, std::optional<double> directionDegrees)
{
    const double mph = speedKmh / KilometresPerMile;
    if (Fixed(mph, 1) == "0.0")
        return QStringLiteral("Calm");
    const QString knots = QString::number(std::lround(speedKmh / KilometresPerNauticalMile));
    const QString direction = directionDegrees ? DirectionWord(*directionDegrees) : QStringLiteral("Variable");
    if (gustKmh && *gustKmh > 0) {
        const QString gustMph = Fixed(*gustKmh / KilometresPerMile, 1);
        const QString gustKnots = QString::number(std::lround(*gustKmh / KilometresPerNauticalMile));
        return (directionDegrees ? "from the " + direction : direction) + " at " + Fixed(mph, 1) + " gusting to " +
               gustMph + " MPH (" + knots + " gusting to " + gustKnots + " KT)";
    }
    return direction + " at " + Fixed(mph, 1) + " MPH (" + knots + " KT)";
}

QByteArray FeedDocumentFromRecord(const QJsonObject& record, const StationInfo& station, const QString& stationCode)
{
    // The lines the refresh reads and a few of the feed's other elements around them.
    QList<QByteArray> lines(FeedLine::Closing + 1);
    lines[0] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?> ";
    lines[1] = "<?xml-stylesheet href=\"latest_ob.xsl\" type=\"text/xsl\"?>";
    lines[2] = "<current_observation version=\"1.0\"";
    lines[3] = "\t xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";
    lines[4] = "\t xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
    lines[5] = "\t xsi:noNamespaceSchemaLocation=\"http://www.weather.gov/view/current_observation.xsd\">";
    lines[6] = "\t<credit>NOAA's National Weather Service</credit>";
    lines[7] = "\t<credit_URL>https://www.weather.gov/</credit_URL>";
    lines[FeedLine::Location] = Element("location", DocumentText(station.name.isEmpty() ? stationCode : station.name));
    lines[FeedLine::StationId] = Element("station_id", DocumentText(stationCode));
    if (const QDateTime local = ObservationTime(record, station); local.isValid()) {
        lines[FeedLine::ObservationTime] = Element("observation_time", FeedTimeText(local));
        lines[FeedLine::ObservationTimeRfc822] = Element("observation_time_rfc822", Rfc822Text(local));
    }
    if (const QString condition = TextOf(record, "textDescription"); !condition.isEmpty())
        lines[FeedLine::Weather] = Element("weather", DocumentText(condition));
    if (const auto celsius = ValueOf(record, "temperature", Quantity::Celsius)) {
        lines[FeedLine::TempF] = Element("temp_f", Fixed(Fahrenheit(*celsius), 1).toLatin1());
        lines[FeedLine::TempC] = Element("temp_c", Fixed(*celsius, 1).toLatin1());
    }
    if (const auto percent = ValueOf(record, "relativeHumidity", Quantity::Percent))
        lines[FeedLine::RelativeHumidity] = Element("relative_humidity", QByteArray::number(std::lround(*percent)));
    const auto direction = ValueOf(record, "windDirection", Quantity::Degree);
    if (const auto speed = ValueOf(record, "windSpeed", Quantity::KilometresPerHour)) {
        const auto gust = ValueOf(record, "windGust", Quantity::KilometresPerHour);
        lines[FeedLine::WindString] = Element("wind_string", FeedWindString(*speed, gust, direction).toLatin1());
        lines[FeedLine::WindMph] = Element("wind_mph", Fixed(*speed / KilometresPerMile, 1).toLatin1());
        lines[FeedLine::WindKt] =
            Element("wind_kt", QByteArray::number(std::lround(*speed / KilometresPerNauticalMile)));
        if (gust)
            lines[FeedLine::WindGustMph] = Element("wind_gust_mph", Fixed(*gust / KilometresPerMile, 1).toLatin1());
    }
    if (direction)
        lines[FeedLine::WindDegrees] = Element("wind_degrees", QByteArray::number(std::lround(*direction)));
    if (const auto pascals = ValueOf(record, "barometricPressure", Quantity::Pascal)) {
        lines[FeedLine::PressureMb] = Element("pressure_mb", Fixed(*pascals / 100.0, 1).toLatin1());
        lines[FeedLine::PressureIn] = Element("pressure_in", Fixed(*pascals / PascalsPerInchOfMercury, 2).toLatin1());
    }
    if (const auto celsius = ValueOf(record, "dewpoint", Quantity::Celsius)) {
        lines[FeedLine::DewpointC] = Element("dewpoint_c", Fixed(*celsius, 1).toLatin1());
        lines[FeedLine::DewpointF] = Element("dewpoint_f", Fixed(Fahrenheit(*celsius), 1).toLatin1());
    }
    if (const QByteArray icon = IconCode(TextOf(record, "icon")); !icon.isEmpty())
        lines[FeedLine::IconUrlName] = Element("icon_url_name", icon + ".png");
    if (const auto metres = ValueOf(record, "visibility", Quantity::Metre))
        lines[FeedLine::Visibility] = Element("visibility", Fixed(*metres / MetresPerMile, 2).toLatin1());
    lines[FeedLine::Closing] = "</current_observation>";
    return lines.join("\r\n");
}
