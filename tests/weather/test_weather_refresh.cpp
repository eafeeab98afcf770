#include "BuildConfig.h"
#include "platform/FileSystem.h"
#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "support/FakeServices.h"
#include "weather/Observation.h"
#include "weather/ObservationSources.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray testDocument(const QString& name)
{
    return readBytes(QStringLiteral(WEATHER_TEST_DATA "/") + name);
}

// The nine captions of the panel.
QStringList captionsOf(const frmMain& form)
{
    return {form.txtWeather->text(),  form.txtTemp->text(),     form.txtObservation->text(),
            form.txtDewpoint->text(), form.txtHumidity->text(), form.txtVisibility->text(),
            form.txtPressure->text(), form.txtWind->text(),     form.fraWeather->title()};
}

// What the refresh saw while the request was under way.
struct DuringRequest {
    QString status;
    std::optional<Qt::CursorShape> cursor;
};

class WeatherRefresh : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkpath("Images"));
        ASSERT_TRUE(QDir(folder.path()).mkpath("Media"));
        // Pictures of distinct sizes, so the one shown can be told apart.
        savePicture("clear.jpg", QSize(3, 3));
        savePicture("sct.jpg", QSize(7, 5));
        savePicture("ovc.jpg", QSize(5, 9));
        QFile cue(folder.path() + "/Media/thunder.wav");
        ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
        AppSettings = AppSettingsRecord{};
        AppSettings.Station = "KXYZ";
        AppSettings.Sound = "1";
        WeatherSources() = ObservationSources(); // each test is a new run of the program
        fakes.http.handler = [this](const HttpRequest& request) {
            const QCursor* cursor = QApplication::overrideCursor();
            during = {window.statusText(), cursor ? std::optional(cursor->shape()) : std::nullopt};
            if (request.url == ObservationBaseUrl() + AppSettings.Station + ".xml")
                return reply.value_or(FakeHttpClient::notConnected());
            return otherSources.value(request.url, otherSourcesDefault);
        };
    }
    void TearDown() override { AppSettings = AppSettingsRecord{}; }

    void savePicture(const QString& name, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(folder.path() + "/Images/" + name, "JPG"));
    }
    void answer(const QByteArray& body, int status = 200) { reply = FakeHttpClient::reply(body, status); }
    QStringList shown() const { return captionsOf(window); }
    QSize pictureSize() const { return window.imgWeather->pixmap().size(); }
    QByteArray weatherDat() const { return readBytes(folder.path() + "/Weather.dat"); }

    QTemporaryDir folder;
    FakeServices fakes{folder.path()};
    frmMain window;
    std::optional<HttpResponse> reply;         // the feed's; none: no connection
    QHash<QString, HttpResponse> otherSources; // the newer sources', by address
    HttpResponse otherSourcesDefault = FakeHttpClient::notConnected();
    DuringRequest during;
};

TEST_F(WeatherRefresh, WorkedExample)
{
    const QByteArray document = testDocument("worked_example.xml");
    ASSERT_FALSE(document.isEmpty());
    answer(document);

    window.cmdGetWeather_Click();
    EXPECT_EQ(during.cursor, std::nullopt) << "no hourglass while the window is not on screen";
    fakes.http.requests.clear();
    fakes.sound.played.clear();
    window.show();
    window.cmdGetWeather_Click();

    ASSERT_EQ(fakes.http.requests.size(), 1u);
    EXPECT_EQ(fakes.http.requests.front().url, ObservationBaseUrl() + "KXYZ.xml");
    EXPECT_EQ(during.status, "Retrieving weather data from KXYZ");
    EXPECT_EQ(during.cursor, Qt::WaitCursor);
    EXPECT_EQ(shown(),
              (QStringList{"Partly Cloudy", QString::fromUtf8("54° Farenheit"), "Last Updated on Nov 27, 2:53 pm EST",
                           QString::fromUtf8("41°F"), "62%", "10.00", "30.12 in.", "Wind From the Northwest at 9 MPH",
                           "Weather Forecast as reported by Example Field Airport, TN"}));
    EXPECT_EQ(pictureSize(), QSize(7, 5)); // sct.jpg
    EXPECT_EQ(weatherDat(), document + "\r\n");
    EXPECT_EQ(fakes.sound.played, QStringList{FileSystem::resolve(folder.path() + "/Media/thunder.wav")});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(window.statusText(), "Ready");
}

// Every source fails: the reason of the last one tried is told, and nothing received earlier is lost.
struct FailureCase {
    const char* name;
    std::optional<QByteArray> body; // none: no connection
    int status;
    HttpResponse others;
    QString status_text;
};

std::vector<FailureCase> failureCases()
{
    HttpResponse timedOut = FakeHttpClient::notConnected();
    timedOut.error = HttpError::TimedOut;
    HttpResponse tooLarge = FakeHttpClient::reply(QByteArray(100, 'x'));
    tooLarge.complete = false;
    tooLarge.error = HttpError::TooLarge;
    return {
        {"no connection", std::nullopt, 0, FakeHttpClient::notConnected(),
         "No weather data received for KXYZ (no connection)"},
        {"empty reply", QByteArray(), 200, FakeHttpClient::reply(""),
         "No weather data received for KXYZ (not a weather observation)"},
        {"error page", "<html><head><title>404 Not Found</title></head>\r\n<body>Not Found</body></html>", 404,
         FakeHttpClient::reply("", 404), "No weather data received for KXYZ (not found)"},
        {"silent", std::nullopt, 0, timedOut, "No weather data received for KXYZ (timed out)"},
        {"over the size cap", std::nullopt, 0, tooLarge, "No weather data received for KXYZ (too large)"},
    };
}

TEST_F(WeatherRefresh, NoDataTellsWhyAndKeepsWhatWasShown)
{
    for (const FailureCase& c : failureCases()) {
        WeatherSources() = ObservationSources();
        otherSourcesDefault = FakeHttpClient::notConnected();
        answer(testDocument("worked_example.xml"));
        window.cmdGetWeather_Click();
        ASSERT_EQ(window.txtWeather->text(), "Partly Cloudy") << c.name;
        const QStringList before = shown();
        const QByteArray kept = weatherDat();

        reply.reset();
        if (c.body)
            answer(*c.body, c.status);
        otherSourcesDefault = c.others;

        // Before any observation: the notice, and no picture that would pass for fair weather.
        frmMain fresh;
        fresh.showWeatherPicture(folder.path() + "/Images/clear.jpg"); // as the load leaves it
        fresh.cmdGetWeather_Click();
        EXPECT_EQ(captionsOf(fresh), QStringList(9, "n/a")) << c.name;
        EXPECT_TRUE(fresh.imgWeather->pixmap().isNull()) << c.name;
        EXPECT_TRUE(fresh.txtObservation->toolTip().isEmpty()) << c.name;
        EXPECT_EQ(fresh.statusText(), c.status_text) << c.name;

        // After one: it stays on show.
        fakes.sound.played.clear();
        window.cmdGetWeather_Click();
        EXPECT_EQ(shown(), before) << c.name;
        EXPECT_EQ(pictureSize(), QSize(7, 5)) << c.name; // still sct.jpg
        EXPECT_EQ(weatherDat(), kept) << c.name;
        EXPECT_EQ(fakes.sound.played.size(), 1) << c.name; // the cue plays whatever the weather
        EXPECT_EQ(window.statusText(), c.status_text) << c.name;
        EXPECT_TRUE(window.weatherDataMissing) << c.name;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.name;
    }
}

TEST_F(WeatherRefresh, ApiRecordWhenTheXmlHostsAreGone)
{
    QFile record(QStringLiteral(WEATHER_TEST_DATA "/api/KATT.latest.json"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    AppSettings.Station = "KATT";
    answer("<html>Not Found</html>", 404);
    const QString api = "https://" + QString(BuildConfig::ApiHost) + "/stations/KATT";
    otherSources = {{api + "/observations/latest", FakeHttpClient::reply(record.readAll())},
                    {api, FakeHttpClient::reply(R"({"properties": {"name": "Austin City, Austin Camp Mabry",
                                                     "timeZone": "America/Chicago"}})")}};
    otherSourcesDefault = FakeHttpClient::reply("", 404);
    fakes.clock.now = QDateTime(QDate(2025, 2, 20), QTime(5, 30), Qt::UTC);

    window.cmdGetWeather_Click();

    EXPECT_EQ(shown(),
              (QStringList{"Cloudy", QString::fromUtf8("25.0° Farenheit"), "Last Updated on Feb 19 2025, 10:51 pm CST",
                           QString::fromUtf8("15.1°F"), "66%", "10.00", "30.54 in.", "Wind North at 5.8 MPH (5 KT)",
                           "Weather Forecast as reported by Austin City, Austin Camp Mabry"}));
    EXPECT_EQ(pictureSize(), QSize(5, 9)); // ovc.jpg, named by the record's icon
    EXPECT_TRUE(weatherDat().contains("\t<weather>Cloudy</weather>\r\n"));
    EXPECT_EQ(window.txtObservation->toolTip(), "Source: " + api + "/observations/latest\nObserved 39 min ago");
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(WeatherRefresh, TodaysLayoutAndTheAgeMarkOfAKeptObservation)
{
    // Today's layout, with mixed line ends and Latin-1 text.
    const QByteArray document = testDocument("TJMZ.xml");
    ASSERT_TRUE(document.contains("\r\n") && document.contains("\t<weather>"));
    const QString feed = ObservationBaseUrl() + "TJMZ.xml";
    AppSettings.Station = "TJMZ";
    answer(document); // observed Thu, 14 Mar 2024 09:56:00 -0400
    fakes.clock.now = QDateTime(QDate(2024, 3, 14), QTime(15, 26), Qt::UTC);
    window.cmdGetWeather_Click();
    EXPECT_EQ(shown(),
              (QStringList{"A Few Clouds and Breezy", QString::fromUtf8("81.0° Farenheit"),
                           "Last Updated on Mar 14 2024, 9:56 am AST", QString::fromUtf8("68.0°F"), "66%", "10.00",
                           "30.01 in.", "Wind East at 20.7 MPH (18 KT)",
                           QString::fromUtf8("Weather Forecast as reported by Mayagüez/Eugenio María de Hostos "
                                             "Airport, PR")}));
    EXPECT_EQ(pictureSize(), QSize(3, 3)); // few.jpg is not there: clear.jpg
    EXPECT_EQ(weatherDat(), document + "\r\n");
    EXPECT_EQ(window.statusText(), "Ready");
    EXPECT_EQ(window.observationMark, "");
    EXPECT_EQ(window.txtObservation->toolTip(), "Source: " + feed + "\nObserved 1 h ago");

    // Kept after a failed refresh, it grows older and gets its mark.
    reply.reset();
    fakes.clock.now = QDateTime(QDate(2024, 3, 14), QTime(17, 0), Qt::UTC);
    window.cmdGetWeather_Click();
    EXPECT_EQ(window.observationMark, " (3 h old)");
    EXPECT_EQ(window.txtObservation->text(), "Last Updated on Mar 14 2024, 9:56 am AST (3 h old)");
    EXPECT_EQ(window.txtObservation->toolTip(), "Source: " + feed + "\nObserved 3 h ago");
    EXPECT_EQ(window.statusText(), "No weather data received for TJMZ (no connection)");

    // A worked-example document has no time the age could come from: no mark.
    answer(testDocument("worked_example.xml"));
    AppSettings.Station = "KXYZ";
    window.cmdGetWeather_Click();
    EXPECT_EQ(window.observationMark, "");
    EXPECT_EQ(window.txtObservation->text(), "Last Updated on Nov 27, 2:53 pm EST");
    EXPECT_EQ(window.txtObservation->toolTip(), "Source: " + ObservationBaseUrl() + "KXYZ.xml");
}

TEST_F(WeatherRefresh, CueOnlyWithSoundsOn)
{
    const struct {
        const char* sound;
        int cues;
    } cases[] = {{"1", 1}, {"0", 0}, {"", 0}};
    for (const auto& c : cases) {
        AppSettings.Sound = c.sound;
        fakes.sound.played.clear();
        window.cmdGetWeather_Click();
        EXPECT_EQ(fakes.sound.played.size(), c.cues) << c.sound;
    }
}

TEST_F(WeatherRefresh, UnwritableWeatherDatStillShowsTheReply)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("Weather.dat")); // a folder where the file should go
    answer(testDocument("worked_example.xml"));
    window.cmdGetWeather_Click();
    EXPECT_EQ(window.txtWind->text(), "Wind From the Northwest at 9 MPH");
    EXPECT_EQ(window.fraWeather->title(), "Weather Forecast as reported by Example Field Airport, TN");
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(WeatherRefresh, MissingPicturesLeaveThePictureEmpty)
{
    ASSERT_TRUE(QDir(folder.path() + "/Images").removeRecursively());
    answer(testDocument("worked_example.xml"));
    window.cmdGetWeather_Click();
    EXPECT_TRUE(window.imgWeather->pixmap().isNull());
    EXPECT_EQ(window.txtWeather->text(), "Partly Cloudy");
    EXPECT_EQ(window.statusText(), "Ready");
}

TEST_F(WeatherRefresh, FeedTextIsShownAsPlainText)
{
    answer("<current_observation>\n\t<location>Texas A&M "
           "<b>Field</b></location>\n\t<wind_string><i>Calm</i></wind_string>\n");
    window.cmdGetWeather_Click();
    // An ampersand is no mnemonic and markup is no rich text: both show as sent.
    EXPECT_EQ(window.fraWeather->title(), "Weather Forecast as reported by Texas A&&M <b>Field</b>");
    EXPECT_EQ(window.txtWind->text(), "Wind <i>Calm</i>");
    EXPECT_EQ(window.txtWind->textFormat(), Qt::PlainText);
}

} // namespace
