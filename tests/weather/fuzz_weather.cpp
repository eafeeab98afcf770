// libFuzzer target: the weather extraction takes any bytes a server may send, as a feed document and,
// when they parse as an API record, through the conversion to one.
#include "weather/ApiObservation.h"
#include "weather/WeatherCaptions.h"
#include "weather/WeatherIcons.h"

#include <QJsonObject>

#include <cstdint>
#include <cstdlib>
#include <sys/resource.h>

namespace {

struct Field {
    QString WeatherCaptions::*caption;
    const char* prefix;
    const char* tag;
    const char* suffix;
};

const Field Fields[] = {
    {&WeatherCaptions::weather, "", "weather", ""},
    {&WeatherCaptions::temp, "", "temp_f", "\u00b0 Farenheit"},
    {&WeatherCaptions::observation, "", "observation_time", ""},
    {&WeatherCaptions::dewpoint, "", "dewpoint_f", "\u00b0F"},
    {&WeatherCaptions::humidity, "", "relative_humidity", "%"},
    {&WeatherCaptions::visibility, "", "visibility", ""},
    {&WeatherCaptions::pressure, "", "pressure_in", " in."},
    {&WeatherCaptions::wind, "Wind ", "wind_string", ""},
    {&WeatherCaptions::frame, "Weather Forecast as reported by ", "location", ""},
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkCaptions(const QByteArray& document)
{
    const WeatherCaptions shown = WeatherCaptionsFor(document);
    for (const Field& field : Fields) {
        const QString caption = shown.*field.caption;
        if (caption == WeatherNotice)
            continue;
        const QString prefix = QString::fromUtf8(field.prefix);
        const QString suffix = QString::fromUtf8(field.suffix);
        check(caption.startsWith(prefix) && caption.endsWith(suffix));
        const QString value = caption.sliced(prefix.size(), caption.size() - prefix.size() - suffix.size());
        // A value never holds its own tags, nor anything that would cut the caption.
        const QString tag = QString::fromLatin1(field.tag);
        check(!value.contains("<" + tag + ">") && !value.contains("</" + tag + ">"));
        check(value.size() <= MaxValueLength);
        for (const QChar c : value)
            check(c.category() != QChar::Other_Control);
    }
    check(shown.picture == "clear.jpg" || IsConditionPicture(shown.picture));
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

// Eight MiB of line breaks after an observation once cost 450 MB: the peak must stay within a small
// multiple of the body.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const QByteArray body = "<current_observation>\n<weather>Fog</weather>\n" + QByteArray(8 * 1024 * 1024, '\n');
    const long before = peakKiB();
    checkCaptions(body);
    const long grown = peakKiB() - before;
    check(grown < 6 * body.size() / 1024);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkCaptions(bytes);
    if (const std::optional<QJsonObject> record = ObservationRecordFromJson(bytes)) {
        const QByteArray document =
            FeedDocumentFromRecord(*record, StationInfoFromJson(bytes).value_or(StationInfo{}), "KXYZ");
        check(!document.contains('\0'));
        check(document.count('\n') == 41 && document.count('\n') == document.count("\r\n"));
        checkCaptions(document);
    }
    return 0;
}
