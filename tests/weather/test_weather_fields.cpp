#include "weather/ObservationAge.h"
#include "weather/ObservationFields.h"
#include "weather/WeatherCaptions.h"
#include "weather/Windows1252.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <QTimeZone>

#include <optional>

namespace {

struct LineCase {
    const char* name;
    QString line;
    QString openingTag;
    QString closingTag;
    std::optional<QString> value;
};

TEST(ObservationFields, ValueOnLine)
{
    const LineCase cases[] = {
        {"alone on its line", "<weather>Partly Cloudy</weather>", "<weather>", "</weather>", "Partly Cloudy"},
        {"indented with tabs", "\t\t<temp_f>54</temp_f>", "<temp_f>", "</temp_f>", "54"},
        {"spaces around the element", "   <weather>Fog</weather>   ", "<weather>", "</weather>", "Fog"},
        {"spaces inside the element stay", "<weather> Fog  </weather>", "<weather>", "</weather>", " Fog  "},
        {"text after the closing tag", "<temp_f>54</temp_f><temp_c>12</temp_c>", "<temp_f>", "</temp_f>", "54"},
        {"other elements before", "<a>1</a><temp_f>54</temp_f>", "<temp_f>", "</temp_f>", "54"},
        {"missing closing tag runs to the end", "<weather>Fog and more", "<weather>", "</weather>", "Fog and more"},
        {"missing closing tag, trailing spaces trimmed with the line", "<weather>Fog   ", "<weather>", "</weather>",
         "Fog"},
        {"missing closing tag, trailing tab kept", "<weather>Fog\t", "<weather>", "</weather>", "Fog\t"},
        {"second opening tag ends the value", "<weather>Fog <weather>Rain</weather>", "<weather>", "</weather>",
         "Fog "},
        {"closing tag before the opening tag", "</weather><weather>Fog", "<weather>", "</weather>", "Fog"},
        {"empty element", "<weather></weather>", "<weather>", "</weather>", ""},
        {"tag in another case", "<Weather>Fog</Weather>", "<weather>", "</weather>", std::nullopt},
        {"closing tag in another case", "<weather>Fog</WEATHER>", "<weather>", "</weather>", "Fog</WEATHER>"},
        {"no opening tag", "<temp_c>12</temp_c>", "<temp_f>", "</temp_f>", std::nullopt},
        {"longer element of a similar name", "<visibility_mi>10.00</visibility_mi>", "<visibility>", "</visibility>",
         std::nullopt},
        {"empty line", "", "<weather>", "</weather>", std::nullopt},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(ValueOnLine(c.line, c.openingTag, c.closingTag), c.value) << c.name;
}

TEST(ObservationFields, FixedLineWinsThenFirstLineWithTheTag)
{
    const QStringList lines = {"<weather>Snow</weather>", "<temp_f>12</temp_f>", "<weather>Fog</weather>",
                               "<weather>Rain</weather>"};
    const struct {
        const char* name;
        qsizetype fixedIndex;
        std::optional<QString> value;
    } cases[] = {
        {"fixed line holds the tag", 2, "Fog"},
        {"fixed line holds the tag, earlier line too", 3, "Rain"},
        {"fixed line lacks the tag", 1, "Snow"},
        {"fixed line beyond the end", 40, "Snow"},
    };
    for (const char* lineEnd : {"\n", "\r\n"}) {
        const QString text = lines.join(lineEnd);
        for (const auto& c : cases)
            EXPECT_EQ(FindValue(text, c.fixedIndex, u"<weather>", u"</weather>"), c.value) << c.name;
        EXPECT_EQ(FindValue(text, 0, u"<dewpoint_f>", u"</dewpoint_f>"), std::nullopt);
    }
    EXPECT_EQ(FindValue(u"", 0, u"<weather>", u"</weather>"), std::nullopt);
}

TEST(ObservationFields, Windows1252Decoding)
{
    EXPECT_EQ(FromWindows1252("\xb0"), QString(QChar(0x00b0)));
    EXPECT_EQ(FromWindows1252("Mayag\374ez"), QString::fromUtf8("Mayagüez"));
    EXPECT_EQ(FromWindows1252("\x80\x93\x94"), QString::fromUtf8("€“”"));
    EXPECT_EQ(FromWindows1252("abc").size(), 3);
    // Every byte, alone and after plain text, decodes as ICU's converter decodes it: a quick path for
    // text that needs no table must not change a single character.
    QStringDecoder reference("windows-1252");
    ASSERT_TRUE(reference.isValid());
    for (int value = 1; value < 256; ++value) {
        const QByteArray bytes = "Fair " + QByteArray(1, char(value));
        EXPECT_EQ(FromWindows1252(bytes), reference.decode(bytes)) << "byte " << value;
    }
}

QByteArray lines(std::initializer_list<const char*> text)
{
    QList<QByteArray> result;
    for (const char* line : text)
        result << line;
    return result.join("\r\n");
}

// The lines of a document of 45 lines, with the element on the given line (counted from 1) and filler
// elsewhere.
QList<QByteArray> linesWith(int lineNumber, const QByteArray& element)
{
    QList<QByteArray> result;
    for (int n = 1; n <= 45; ++n)
        result << (n == lineNumber ? element : "\t<other>x</other>");
    return result;
}

QByteArray documentWith(int lineNumber, const QByteArray& element)
{
    return linesWith(lineNumber, element).join("\r\n");
}

TEST(WeatherCaptions, FixedLinesAndFixedTexts)
{
    const struct {
        int lineNumber;
        QByteArray tag;
        QByteArray value;
        QString WeatherCaptions::*caption;
        QString expected;
    } cases[] = {
        {16, "weather", "Fog", &WeatherCaptions::weather, "Fog"},
        {18, "temp_f", "-3", &WeatherCaptions::temp, QString::fromUtf8("-3° Farenheit")},
        {15, "observation_time", "Last", &WeatherCaptions::observation, "Last"},
        {30, "dewpoint_f", "41", &WeatherCaptions::dewpoint, QString::fromUtf8("41°F")},
        {20, "relative_humidity", "62", &WeatherCaptions::humidity, "62%"},
        {41, "visibility", "0.25", &WeatherCaptions::visibility, "0.25"},
        {28, "pressure_in", "30.12", &WeatherCaptions::pressure, "30.12 in."},
        {21, "wind_string", "Calm", &WeatherCaptions::wind, "Wind Calm"},
        {11, "location", "Here, TN", &WeatherCaptions::frame, "Weather Forecast as reported by Here, TN"},
        // Values are shown as they stand, without any conversion.
        {18, "temp_f", "NA", &WeatherCaptions::temp, QString::fromUtf8("NA° Farenheit")},
        {20, "relative_humidity", "", &WeatherCaptions::humidity, "%"},
    };
    for (const auto& c : cases) {
        QList<QByteArray> document = linesWith(c.lineNumber, "<" + c.tag + ">" + c.value + "</" + c.tag + ">");
        // The same element on an earlier line must not win over the fixed line.
        document[0] = "<" + c.tag + ">decoy</" + c.tag + ">";
        const WeatherCaptions shown = WeatherCaptionsFor(document.join("\n"));
        EXPECT_EQ(shown.*c.caption, c.expected) << c.tag.toStdString();
        EXPECT_TRUE(shown.anyFieldFound);
    }
}

TEST(WeatherCaptions, MissingFieldsShowTheNotice)
{
    const WeatherCaptions shown = WeatherCaptionsFor(documentWith(21, "<wind_string>Calm</wind_string>"));
    EXPECT_EQ(shown.wind, "Wind Calm");
    for (const QString& caption : {shown.weather, shown.temp, shown.observation, shown.dewpoint, shown.humidity,
                                   shown.visibility, shown.pressure, shown.frame})
        EXPECT_EQ(caption, WeatherNotice);
    EXPECT_EQ(shown.picture, "clear.jpg");
}

TEST(WeatherCaptions, NothingFoundInEmptyReplyOrErrorPage)
{
    const QList<QByteArray> replies = {
        {},
        lines({"<html><head><title>404 Not Found</title></head>", "<body><h1>Not Found</h1></body></html>"}),
    };
    for (const QByteArray& reply : replies) {
        const WeatherCaptions shown = WeatherCaptionsFor(reply);
        EXPECT_FALSE(shown.anyFieldFound);
        EXPECT_EQ(shown.weather, WeatherNotice);
        EXPECT_EQ(shown.frame, WeatherNotice);
        EXPECT_EQ(shown.picture, "clear.jpg");
    }
    EXPECT_EQ(NoWeatherDataStatus("KXYZ"), "No weather data received for KXYZ");
}

TEST(WeatherCaptions, ConditionIsTrimmedForThePictureOnly)
{
    const struct {
        QByteArray element;
        QString caption;
        QString picture;
    } cases[] = {
        {"<weather>Partly Cloudy</weather>", "Partly Cloudy", "sct.jpg"},
        {"   <weather>Partly Cloudy</weather>  ", "Partly Cloudy", "sct.jpg"},
        {"<weather>  Partly Cloudy  </weather>", "  Partly Cloudy  ", "sct.jpg"},
        {"<weather>partly cloudy</weather>", "partly cloudy", "clear.jpg"},
        {"<weather>Partly  Cloudy</weather>", "Partly  Cloudy", "clear.jpg"},
        // A control character is dropped from the caption, which the condition is taken from.
        {"<weather>\tPartly Cloudy</weather>", "Partly Cloudy", "sct.jpg"},
        {"<weather></weather>", "", "clear.jpg"},
        {"<weather>Thunderstorm in Vicinity Fog</weather>", "Thunderstorm in Vicinity Fog", "hi_tsra.jpg"},
    };
    for (const auto& c : cases) {
        const WeatherCaptions shown = WeatherCaptionsFor(documentWith(16, c.element));
        EXPECT_EQ(shown.weather, c.caption) << c.element.toStdString();
        EXPECT_EQ(shown.picture, c.picture) << c.element.toStdString();
    }
}

TEST(WeatherCaptions, VisibilityFallsBackToTheLaterElementName)
{
    const struct {
        const char* name;
        QByteArray document;
        QString visibility;
    } cases[] = {
        {"old name on the fixed line", documentWith(41, "<visibility>10.00</visibility>"), "10.00"},
        {"later name only", documentWith(40, "<visibility_mi>7.00</visibility_mi>"), "7.00"},
        {"old name anywhere beats the later name",
         lines({"<visibility_mi>7.00</visibility_mi>", "<visibility>3.00</visibility>"}), "3.00"},
        {"neither", documentWith(41, "<visibility_km>9</visibility_km>"), WeatherNotice},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeatherCaptionsFor(c.document).visibility, c.visibility) << c.name;
}

TEST(WeatherCaptions, WindowsCharactersInValues)
{
    const WeatherCaptions shown =
        WeatherCaptionsFor(documentWith(11, "<location>San Germ\xe1n \x96 Caf\xe9 &amp; Co, PR</location>"));
    EXPECT_EQ(shown.frame, QString::fromUtf8("Weather Forecast as reported by San Germán – Café &amp; Co, PR"));
}

TEST(WeatherCaptions, ControlCharactersDroppedAndLengthBounded)
{
    const QString prefix = "Weather Forecast as reported by ";
    const struct {
        const char* name;
        QByteArray location;
        QString caption;
    } cases[] = {
        // A NUL cut the caption short for screen readers.
        {"NUL inside", QByteArray("Here\0There, TN", 14), prefix + "HereThere, TN"},
        {"bell, escape and a C1 control", "A\007B\033C\201D", prefix + "ABCD"},
        {"tab inside", "Here,\tTN", prefix + "Here,TN"},
        {"long value cut", QByteArray(5000, 'x'), prefix + QString(MaxValueLength, u'x')},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeatherCaptionsFor(documentWith(11, "<location>" + c.location + "</location>")).frame, c.caption)
            << c.name;
}

TEST(WeatherCaptions, PictureFromTheIconNameWhenTheTableLacksTheCondition)
{
    const struct {
        QByteArray condition;
        QByteArray icon; // empty: no icon element
        QString picture;
    } cases[] = {
        {"Cloudy", "ovc.png", "ovc.jpg"},
        {"Mostly Clear", "few.png", "few.jpg"},
        {"Partly Cloudy", "ovc.png", "sct.jpg"}, // the table decides first
        {"Cloudy", "rain.png", "clear.jpg"},     // not a picture of the table
        {"Cloudy", "../../etc/passwd", "clear.jpg"},
        {"Cloudy", "", "clear.jpg"},
    };
    for (const auto& c : cases) {
        QList<QByteArray> document = linesWith(16, "<weather>" + c.condition + "</weather>");
        if (!c.icon.isEmpty())
            document[38] = "\t<icon_url_name>" + c.icon + "</icon_url_name>";
        EXPECT_EQ(WeatherCaptionsFor(document.join("\r\n")).picture, c.picture) << c.condition.toStdString();
    }
}

TEST(WeatherCaptions, ObservationTimeFromTheRfc822Element)
{
    const struct {
        QByteArray element;
        std::optional<QDateTime> observedAt;
    } cases[] = {
        {"<observation_time_rfc822>Thu, 14 Mar 2024 09:56:00 -0400</observation_time_rfc822>",
         QDateTime(QDate(2024, 3, 14), QTime(13, 56), Qt::UTC)},
        {"<observation_time_rfc822>Sun, 05 Jan 2025 07:53:00 -0600</observation_time_rfc822>",
         QDateTime(QDate(2025, 1, 5), QTime(13, 53), Qt::UTC)},
        {"<observation_time_rfc822>NA</observation_time_rfc822>", std::nullopt},
        {"<observation_time>Last Updated on Nov 27, 2:53 pm EST</observation_time>", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<QDateTime> observedAt = WeatherCaptionsFor(documentWith(21, c.element)).observedAt;
        EXPECT_EQ(observedAt.has_value(), c.observedAt.has_value()) << c.element.toStdString();
        if (observedAt && c.observedAt) {
            EXPECT_EQ(observedAt->toUTC(), *c.observedAt) << c.element.toStdString();
        }
    }
}

TEST(ObservationAge, MarkOnlyPastTwoHoursAndTooltipWithSourceAndAge)
{
    const QDateTime now(QDate(2025, 1, 5), QTime(18, 0), Qt::UTC);
    const QString source = "https://api.weather.gov/stations/KXYZ/observations/latest";
    const struct {
        const char* name;
        std::optional<QDateTime> observedAt;
        QString mark;
        QString tip;
    } cases[] = {
        {"25 minutes", now.addSecs(-25 * 60), "", "Source: " + source + "\nObserved 25 min ago"},
        {"exactly two hours", now.addSecs(-2 * 3600), "", "Source: " + source + "\nObserved 2 h ago"},
        {"three hours", now.addSecs(-3 * 3600 - 600), " (3 h old)", "Source: " + source + "\nObserved 3 h ago"},
        {"thirty hours", now.addSecs(-30 * 3600), " (30 h old)", "Source: " + source + "\nObserved 30 h ago"},
        {"two days", now.addDays(-2), " (2 d old)", "Source: " + source + "\nObserved 2 d ago"},
        {"an hour ahead of the clock", now.addSecs(3600), "", "Source: " + source + "\nObserved 0 min ago"},
        {"further ahead", now.addSecs(3601), " (ahead of this computer's clock)",
         "Source: " + source + "\nObservation time ahead of this computer's clock"},
        {"unknown", std::nullopt, "", "Source: " + source},
        {"invalid", QDateTime(), "", "Source: " + source},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ObservationAgeMark(c.observedAt, now), c.mark) << c.name;
        EXPECT_EQ(ObservationTooltip({source, c.observedAt, "Last Updated"}, now), c.tip) << c.name;
    }
    // The local time of the clock and a UTC stamp compare as instants.
    EXPECT_EQ(ObservationAgeMark(now.addSecs(-4 * 3600), now.toOffsetFromUtc(-6 * 3600)), " (4 h old)");
}

} // namespace
