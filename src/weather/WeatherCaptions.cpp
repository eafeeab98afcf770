#include "weather/WeatherCaptions.h"

#include "core/Text.h"
#include "weather/FeedLines.h"
#include "weather/ObservationFields.h"
#include "weather/WeatherIcons.h"
#include "weather/Windows1252.h"

namespace {

struct WeatherField {
    qsizetype fixedIndex;
    const char16_t* openingTag;
    const char16_t* closingTag;
    const char* prefix;
    const char* suffix;
    QString WeatherCaptions::*caption;
};

// In the order the panel is filled. Fixed texts are UTF-8 here; the degree sign is U+00B0.
const WeatherField WeatherFields[] = {
    {FeedLine::Weather, u"<weather>", u"</weather>", "", "", &WeatherCaptions::weather},
    {FeedLine::TempF, u"<temp_f>", u"</temp_f>", "", "\u00b0 Farenheit", &WeatherCaptions::temp},
    {FeedLine::ObservationTime, u"<observation_time>", u"</observation_time>", "", "", &WeatherCaptions::observation},
    {FeedLine::DewpointF, u"<dewpoint_f>", u"</dewpoint_f>", "", "\u00b0F", &WeatherCaptions::dewpoint},
    {FeedLine::RelativeHumidity, u"<relative_humidity>", u"</relative_humidity>", "", "%", &WeatherCaptions::humidity},
    {FeedLine::Visibility, u"<visibility>", u"</visibility>", "", "", &WeatherCaptions::visibility},
    {FeedLine::PressureIn, u"<pressure_in>", u"</pressure_in>", "", " in.", &WeatherCaptions::pressure},
    {FeedLine::WindString, u"<wind_string>", u"</wind_string>", "Wind ", "", &WeatherCaptions::wind},
    {FeedLine::Location, u"<location>", u"</location>", "Weather Forecast as reported by ", "",
     &WeatherCaptions::frame},
};

std::optional<QString> FieldValue(QStringView text, const WeatherField& field)
{
    std::optional<QString> value = FindValue(text, field.fixedIndex, field.openingTag, field.closingTag);
    // Later layouts of the feed name the visibility element "visibility_mi".
    if (!value && field.caption == &WeatherCaptions::visibility)
        value = FindValue(text, field.fixedIndex, u"<visibility_mi>", u"</visibility_mi>");
    return value;
}

QString ShownValue(QString value, const WeatherField& field)
{
    value.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    // Dropping a control character can join a tag ("<wea\x01ther>"): the value still ends before it.
    for (const char16_t* tag : {field.openingTag, field.closingTag})
        if (const qsizetype at = value.indexOf(QStringView(tag)); at >= 0)
            value.truncate(at);
    value.truncate(MaxValueLength);
    return value;
}

// "ovc.png" (the feed's picture name, or the one written for the API's icon) gives "ovc.jpg" when
// that is a picture of the table; anything else gives nothing.
QString PictureForIconName(QStringView text)
{
    const std::optional<QString> name = FindValue(text, FeedLine::IconUrlName, u"<icon_url_name>", u"</icon_url_name>");
    if (!name)
        return {};
    const QString picture = name->section(u'.', 0, 0).trimmed() + ".jpg";
    return IsConditionPicture(picture) ? picture : QString();
}

} // namespace

WeatherCaptions WeatherCaptionsFor(const QByteArray& observationText)
{
    // One decoding of the whole text; lines are looked at as views into it.
    const QString text = FromWindows1252(observationText);

    WeatherCaptions captions;
    for (const WeatherField& field : WeatherFields) {
        if (const std::optional<QString> value = FieldValue(text, field)) {
            captions.*field.caption =
                QString::fromUtf8(field.prefix) + ShownValue(*value, field) + QString::fromUtf8(field.suffix);
            captions.anyFieldFound = true;
        } else {
            captions.*field.caption = WeatherNotice;
        }
    }
    // The condition is the caption just set, trimmed of spaces (the notice is no condition).
    const QString condition = captions.weather == WeatherNotice ? QString() : TrimSpaces(captions.weather);
    QString picture = GetWeatherIcon(condition);
    if (picture.isEmpty())
        picture = PictureForIconName(text);
    captions.picture = picture.isEmpty() ? QStringLiteral("clear.jpg") : picture;

    if (const std::optional<QString> stamp = FindValue(text, FeedLine::ObservationTimeRfc822,
                                                       u"<observation_time_rfc822>", u"</observation_time_rfc822>")) {
        const QDateTime time = QDateTime::fromString(stamp->trimmed(), Qt::RFC2822Date);
        if (time.isValid())
            captions.observedAt = time;
    }
    return captions;
}

bool IsObservationDocument(const QByteArray& text)
{
    return text.contains("<current_observation") && WeatherCaptionsFor(text).anyFieldFound;
}

QString NoWeatherDataStatus(const QString& station, const QString& reason)
{
    QString status = "No weather data received for " + station;
    if (!reason.isEmpty())
        status += " (" + reason + ")";
    return status;
}
