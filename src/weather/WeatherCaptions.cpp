#include "weather/WeatherCaptions.h"

#include "core/Text.h"
#include "weather/ObservationFields.h"
#include "weather/WeatherIcons.h"
#include "weather/Windows1252.h"

#include <QStringList>

namespace {

struct WeatherField {
    qsizetype fixedIndex;
    const char* openingTag;
    const char* closingTag;
    const char* prefix;
    const char* suffix;
    QString WeatherCaptions::*caption;
};

// In the order the panel is filled. Fixed texts are UTF-8 here; the degree sign is U+00B0.
const WeatherField WeatherFields[] = {
    {15, "<weather>", "</weather>", "", "", &WeatherCaptions::weather},
    {17, "<temp_f>", "</temp_f>", "", "\u00b0 Farenheit", &WeatherCaptions::temp},
    {14, "<observation_time>", "</observation_time>", "", "", &WeatherCaptions::observation},
    {29, "<dewpoint_f>", "</dewpoint_f>", "", "\u00b0F", &WeatherCaptions::dewpoint},
    {19, "<relative_humidity>", "</relative_humidity>", "", "%", &WeatherCaptions::humidity},
    {40, "<visibility>", "</visibility>", "", "", &WeatherCaptions::visibility},
    {27, "<pressure_in>", "</pressure_in>", "", " in.", &WeatherCaptions::pressure},
    {20, "<wind_string>", "</wind_string>", "Wind ", "", &WeatherCaptions::wind},
    {10, "<location>", "</location>", "Weather Forecast as reported by ", "", &WeatherCaptions::frame},
};

std::optional<QString> FieldValue(const QStringList& lines, const WeatherField& field)
{
    std::optional<QString> value = FindValue(lines, field.fixedIndex, field.openingTag, field.closingTag);
    // Later layouts of the feed name the visibility element "visibility_mi".
    if (!value && field.caption == &WeatherCaptions::visibility)
        value = FindValue(lines, field.fixedIndex, "<visibility_mi>", "</visibility_mi>");
    return value;
}

} // namespace

WeatherCaptions WeatherCaptionsFor(const QList<QByteArray>& observationLines)
{
    QStringList lines;
    lines.reserve(observationLines.size());
    for (const QByteArray& line : observationLines)
        lines << FromWindows1252(line);

    WeatherCaptions captions;
    QString condition;
    for (const WeatherField& field : WeatherFields) {
        const std::optional<QString> value = FieldValue(lines, field);
        if (value) {
            captions.*field.caption = QString::fromUtf8(field.prefix) + *value + QString::fromUtf8(field.suffix);
            captions.anyFieldFound = true;
            if (field.caption == &WeatherCaptions::weather)
                condition = TrimSpaces(*value);
        } else {
            captions.*field.caption = WeatherNotice;
        }
    }
    const QString icon = GetWeatherIcon(condition);
    captions.picture = icon.isEmpty() ? QStringLiteral("clear.jpg") : icon;
    return captions;
}

QString NoWeatherDataStatus(const QString& station)
{
    return "No weather data received for " + station;
}
