#include "BuildConfig.h"
#include "core/ProgramInfo.h"
#include "support/FakeServices.h"
#include "weather/ApiObservation.h"
#include "weather/Observation.h"
#include "weather/ObservationFields.h"
#include "weather/ObservationSources.h"
#include "weather/WeatherCaptions.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace {

TEST(Observation, OneDirectGetOfTheStationDocumentOnTheFeedHost)
{
    const struct {
        QString code;
        QString path;
    } cases[] = {
        {"KXYZ", "/data/current_obs/KXYZ.xml"},
        {"", "/data/current_obs/.xml"},           // not rejected
        {"kxyz", "/data/current_obs/kxyz.xml"},   // used as it stands
        {"../.", "/data/current_obs/..%2F..xml"}, // no settings value moves the path
    };
    for (const auto& c : cases) {
        FakeServices fakes;
        const QDeadlineTimer deadline(5000);
        GetObservation(c.code, deadline);
        ASSERT_EQ(fakes.http.requests.size(), 1u);
        const HttpRequest& request = fakes.http.requests.front();
        EXPECT_EQ(request.url, "http://" + QString(BuildConfig::FeedHost) + c.path);
        EXPECT_EQ(request.deadline, deadline);
    }
}

QByteArray apiRecord(const QString& name)
{
    QFile file(QStringLiteral(WEATHER_TEST_DATA "/api/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A clock after every record of data/api.
const QDateTime Now(QDate(2025, 3, 1), QTime(12, 0), Qt::UTC);

// KATT's complete record, stamped in the year 9998.
QJsonObject farFutureRecord()
{
    QJsonObject record = *ObservationRecordFromJson(apiRecord("KATT.latest.json"));
    record.insert("timestamp", "9998-02-20T04:51:00+00:00");
    return record;
}

QByteArray recentRecords(const QJsonArray& features)
{
    return QJsonDocument(QJsonObject{{"features", features}}).toJson();
}

// The nine captions and the picture, as the refresh shows a document.
QStringList shownFor(const QByteArray& document)
{
    const WeatherCaptions c = WeatherCaptionsFor(document + "\r\n");
    return {c.weather,    c.temp,     c.observation, c.dewpoint, c.humidity,
            c.visibility, c.pressure, c.wind,        c.frame,    c.picture};
}

const QString F = QString::fromUtf8("\u00b0 Farenheit");
const QString DegF = QString::fromUtf8("\u00b0F");
const QString ReportedBy = "Weather Forecast as reported by ";

// Real records (see data/api/README.md for where each was published) and what the panel shows.
TEST(ApiConversion, RealRecordsBecomeTheFeedDocument)
{
    const StationInfo portland{"Portland, Portland International Jetport", "America/New_York"};
    const struct {
        QString file;
        StationInfo station;
        QString code;
        QStringList shown;
    } cases[] = {
        // Below freezing; "Cloudy" is not in the table, the icon names ovc; past midnight.
        {"KATT.latest.json",
         {"", "America/Puerto_Rico"},
         "KATT",
         {"Cloudy", "25.0" + F, "Last Updated on Feb 20 2025, 12:51 am AST", "15.1" + DegF, "66%", "10.00", "30.54 in.",
          "Wind North at 5.8 MPH (5 KT)", ReportedBy + "KATT", "ovc.jpg"}},
        // Gusts; the JSON-LD form without "properties"; past noon.
        {"KSUA.latest.json",
         {"", "America/Chicago"},
         "KSUA",
         {"Mostly Clear", "69.8" + F, "Last Updated on Nov 7 2021, 12:50 pm CST", "51.8" + DegF, "53%", "10.00",
          "29.98 in.", "Wind from the North at 13.9 gusting to 24.2 MPH (12 gusting to 21 KT)", ReportedBy + "KSUA",
          "few.jpg"}},
        {"KFLL.latest.json",
         {"", "America/New_York"},
         "KFLL",
         {"Mostly Cloudy", "73.0" + F, "Last Updated on Mar 2 2022, 6:53 pm EST", "64.9" + DegF, "76%", "10.00",
          "30.08 in.", "Wind North at 4.7 MPH (4 KT)", ReportedBy + "KFLL", "bkn.jpg"}},
        // unit:degF and unit:km_h-1.
        {"KFLL.units.json",
         {},
         "KFLL",
         {"Mostly Clear", "10.0" + F, "Last Updated on Jun 27 2019, 10:53 am UTC", "50.0" + DegF, "10%", "6.21",
          "29.53 in.", "Wind from the North at 6.2 gusting to 6.2 MPH (5 gusting to 5 KT)", ReportedBy + "KFLL",
          "few.jpg"}},
        // Calm; the station's name and summer time.
        {"KPWM.latest.json",
         portland,
         "KPWM",
         {"Partly Cloudy", "60.1" + F, "Last Updated on Aug 21 2019, 5:51 am EDT", "57.0" + DegF, "90%", "10.00",
          "30.00 in.", "Wind Calm", ReportedBy + "Portland, Portland International Jetport", "sct.jpg"}},
        // Nulls leave their elements out: the panel shows the notice for them.
        {"PHNG.latest.json",
         {},
         "PHNG",
         {"Mostly Clear", WeatherNotice, "Last Updated on Jun 12 2019, 10:57 am UTC", WeatherNotice, WeatherNotice,
          "10.00", WeatherNotice, WeatherNotice, ReportedBy + "PHNG", "few.jpg"}},
    };
    for (const auto& c : cases) {
        const std::optional<QJsonObject> record = ObservationRecordFromJson(apiRecord(c.file));
        ASSERT_TRUE(record) << c.file.toStdString();
        const QByteArray document = FeedDocumentFromRecord(*record, c.station, c.code);
        EXPECT_EQ(shownFor(document), c.shown) << c.file.toStdString();
        EXPECT_TRUE(IsObservationDocument(document)) << c.file.toStdString();
        EXPECT_FALSE(document.contains('\n') && document.count('\n') != document.count("\r\n"));
    }
}

TEST(ApiConversion, ElementsOnTheLinesTheRefreshReads)
{
    const QByteArray document =
        FeedDocumentFromRecord(*ObservationRecordFromJson(apiRecord("KATT.latest.json")), {"Austin", ""}, "KATT");
    const QString text = QString::fromLatin1(document);
    const struct {
        qsizetype index;
        QString element;
    } lines[] = {
        {10, "\t<location>Austin</location>"},
        {14, "\t<observation_time>Last Updated on Feb 20 2025, 4:51 am UTC</observation_time>"},
        {15, "\t<weather>Cloudy</weather>"},
        {16, "\t<observation_time_rfc822>Thu, 20 Feb 2025 04:51:00 +0000</observation_time_rfc822>"},
        {17, "\t<temp_f>25.0</temp_f>"},
        {19, "\t<relative_humidity>66</relative_humidity>"},
        {20, "\t<wind_string>North at 5.8 MPH (5 KT)</wind_string>"},
        {27, "\t<pressure_in>30.54</pressure_in>"},
        {29, "\t<dewpoint_f>15.1</dewpoint_f>"},
        {40, "\t<visibility>10.00</visibility>"},
    };
    for (const auto& line : lines)
        EXPECT_EQ(LineAt(text, line.index).value_or(u"<none>").toString(), line.element) << line.index;
    EXPECT_TRUE(document.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    EXPECT_TRUE(document.endsWith("</current_observation>"));
}

// Each unit the API writes, with either namespace, on KATT's record: the property is replaced by the
// same kind of reading in that unit, with a quality-control flag bare ("V") or in its namespace.
TEST(ApiConversion, EveryUnitCodeWithEitherPrefix)
{
    const struct {
        const char* property;
        const char* unit;
        double value;
        qsizetype line;
        QString element; // empty: left out
        const char* flag = "V";
    } cases[] = {
        {"temperature", "degC", 10, 17, "<temp_f>50.0</temp_f>"},
        {"temperature", "degC", -40, 17, "<temp_f>-40.0</temp_f>"},
        {"temperature", "degC", -17.8, 17, "<temp_f>0.0</temp_f>"}, // never "-0.0"
        {"temperature", "degF", 24.98, 17, "<temp_f>25.0</temp_f>"},
        {"dewpoint", "degF", -12.3, 29, "<dewpoint_f>-12.3</dewpoint_f>"},
        {"windSpeed", "km_h-1", 18.52, 20, "<wind_string>North at 11.5 MPH (10 KT)</wind_string>"},
        {"windSpeed", "m_s-1", 5.14444, 20, "<wind_string>North at 11.5 MPH (10 KT)</wind_string>"},
        {"barometricPressure", "Pa", 101325, 27, "<pressure_in>29.92</pressure_in>"},
        {"visibility", "m", 8047, 40, "<visibility>5.00</visibility>"},
        {"relativeHumidity", "percent", 99.5, 19, "<relative_humidity>100</relative_humidity>"},
        {"windDirection", "degree_(angle)", 225, 20, "<wind_string>Southwest at 5.8 MPH (5 KT)</wind_string>"},
        {"windDirection", "degree_(angle)", 112, 20, "<wind_string>East at 5.8 MPH (5 KT)</wind_string>"},
        // A unit not known here is never taken for another.
        {"temperature", "K", 270, 17, ""},
        {"barometricPressure", "hPa", 1013, 27, ""},
        {"visibility", "km", 16, 40, ""},
        {"windSpeed", "kt", 10, 20, ""},
        // Rejected, questioned or bad is no measurement; any other flag keeps the value.
        {"temperature", "degC", 10, 17, "", "X"},
        {"windSpeed", "km_h-1", 18.52, 20, "", "Q"},
        {"barometricPressure", "Pa", 101325, 27, "", "B"},
        {"temperature", "degC", 10, 17, "<temp_f>50.0</temp_f>", "T"},
        // Beyond what an instrument can report, checked in the record's own unit.
        {"temperature", "degC", 1e308, 17, ""},
        {"temperature", "degC", -95, 17, "<temp_f>-139.0</temp_f>"},
        {"temperature", "degF", 900, 17, ""},
        {"dewpoint", "degC", -300, 29, ""},
        {"relativeHumidity", "percent", 250, 19, ""},
        {"relativeHumidity", "percent", -1e308, 19, ""},
        {"windSpeed", "km_h-1", -5, 20, ""},
        {"windSpeed", "m_s-1", 117, 20, ""},
        {"windGust", "km_h-1", 0, 20, "<wind_string>North at 5.8 MPH (5 KT)</wind_string>"},
        {"windGust", "km_h-1", 1e308, 20, "<wind_string>North at 5.8 MPH (5 KT)</wind_string>"},
        {"windDirection", "degree_(angle)", 361, 20, "<wind_string>Variable at 5.8 MPH (5 KT)</wind_string>"},
        {"barometricPressure", "Pa", 0, 27, ""},
        {"visibility", "m", 1e308, 40, ""},
        {"visibility", "m", -1, 40, ""},
    };
    const QJsonObject katt = *ObservationRecordFromJson(apiRecord("KATT.latest.json"));
    for (const char* prefix : {"wmoUnit:", "unit:"})
        for (const auto& c : cases) {
            QJsonObject record = katt;
            const QString flag = QString(prefix == QString("unit:") ? "qc:" : "") + c.flag;
            record.insert(
                c.property,
                QJsonObject{{"unitCode", QString(prefix) + c.unit}, {"value", c.value}, {"qualityControl", flag}});
            const QString text = QString::fromLatin1(FeedDocumentFromRecord(record, {}, "KATT"));
            const QString expected = c.element.isEmpty() ? QString() : "\t" + c.element;
            EXPECT_EQ(LineAt(text, c.line).value_or(u"<none>").toString(), expected)
                << prefix << c.unit << " " << c.value << " " << c.flag;
        }
}

TEST(ApiConversion, WindInTheFeedsWords)
{
    const double knot = 1.852; // km/h
    const struct {
        double speed;
        std::optional<double> gust;
        std::optional<double> direction;
        QString wind;
    } cases[] = {
        {10 * knot, std::nullopt, 0, "North at 11.5 MPH (10 KT)"},
        {10 * knot, 18 * knot, 0, "from the North at 11.5 gusting to 20.7 MPH (10 gusting to 18 KT)"},
        {10 * knot, std::nullopt, std::nullopt, "Variable at 11.5 MPH (10 KT)"},
        {10 * knot, 18 * knot, std::nullopt, "Variable at 11.5 gusting to 20.7 MPH (10 gusting to 18 KT)"},
        {0, std::nullopt, 0, "Calm"},
        {0, 18 * knot, std::nullopt, "Calm"},
        {18 * knot, std::nullopt, 337.4, "Northwest at 20.7 MPH (18 KT)"},
        {18 * knot, std::nullopt, 337.6, "North at 20.7 MPH (18 KT)"},
        {18 * knot, std::nullopt, 360, "North at 20.7 MPH (18 KT)"},
        {18 * knot, std::nullopt, -90, "West at 20.7 MPH (18 KT)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FeedWindString(c.speed, c.gust, c.direction), c.wind) << c.wind.toStdString();
}

TEST(ApiConversion, TextTranscodedToOneLineOfLatin1)
{
    QJsonObject record = *ObservationRecordFromJson(apiRecord("KATT.latest.json"));
    record.insert("textDescription", QString::fromUtf8("Fog\r\n</weather><weather>Haze \u2603"));
    const QByteArray document = FeedDocumentFromRecord(record, {QString::fromUtf8("Mayag\u00fcez"), ""}, "TJMZ");
    EXPECT_TRUE(document.contains("\t<location>Mayag\374ez</location>\r\n"));
    EXPECT_TRUE(document.contains("\t<weather>Fog/weatherweatherHaze ?</weather>\r\n"));
    EXPECT_EQ(WeatherCaptionsFor(document).frame, ReportedBy + QString::fromUtf8("Mayag\u00fcez"));
}

TEST(ApiConversion, WhatIsNoObservation)
{
    const QByteArray cases[] = {
        "",
        "<html><body>Not Found</body></html>",
        R"({"correlationId": "1", "title": "Not Found", "type": "https://api.weather.gov/problems/NotFound", "status": 404})",
        R"({"properties": {"timestamp": "2025-02-20T04:51:00+00:00"}})", // nothing observed
        R"({"properties": {"textDescription": "Clear"}})",               // no time
        "[1, 2, 3]",
    };
    for (const QByteArray& json : cases)
        EXPECT_FALSE(ObservationRecordFromJson(json)) << json.toStdString();
    EXPECT_EQ(StationInfoFromJson(apiRecord("KPWM.station.json"))->name, "Portland, Portland International Jetport");
    EXPECT_EQ(StationInfoFromJson(apiRecord("KPWM.station.json"))->timeZone, "America/New_York");
    EXPECT_FALSE(StationInfoFromJson("{}"));
}

TEST(ApiConversion, NewestCompleteRecordOfRecentOnes)
{
    const QByteArray recent = apiRecord("KCNK.observations.json");
    EXPECT_FALSE(RecordIsComplete(*ObservationRecordFromJson(apiRecord("KCNK.latest.json"))));
    const QJsonArray features = QJsonDocument::fromJson(recent).object().value("features").toArray();
    // A record from the far future never beats a current one.
    for (const QByteArray& list : {recent, recentRecords(features + farFutureRecord())}) {
        const std::optional<QJsonObject> newest = NewestCompleteRecord(list, Now);
        ASSERT_TRUE(newest);
        EXPECT_EQ(newest->value("timestamp").toString(), "2019-08-17T10:55:00+00:00");
    }
    EXPECT_FALSE(NewestCompleteRecord(R"({"features": []})", Now));
    EXPECT_FALSE(NewestCompleteRecord("not json", Now));
}

// --- The chain of sources ------------------------------------------------------------------------

const QString FeedUrl = ObservationBaseUrl() + "KXYZ.xml";
const QString ForecastUrl = "https://" + QString(BuildConfig::ForecastHost) + "/xml/current_obs/KXYZ.xml";
const QString ApiStation = "https://" + QString(BuildConfig::ApiHost) + "/stations/KXYZ";
const QString LatestUrl = ApiStation + "/observations/latest";
const QString RecentUrl = ApiStation + "/observations?limit=5";

QByteArray feedDocument()
{
    QFile file(QStringLiteral(WEATHER_TEST_DATA "/worked_example.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

HttpResponse failed(HttpError error)
{
    HttpResponse response = FakeHttpClient::notConnected();
    response.error = error;
    response.connected = error != HttpError::NoConnection && error != HttpError::Refused;
    return response;
}

QStringList urlsAsked(const FakeHttpClient& http)
{
    QStringList urls;
    for (const HttpRequest& request : http.requests)
        urls << request.url;
    return urls;
}

TEST(ObservationChain, SourcesTriedInTurnUntilOneGivesAnObservation)
{
    const HttpResponse notFound = FakeHttpClient::reply("<html>Not Found</html>", 404);
    HttpResponse rawReply = FakeHttpClient::reply(feedDocument(), 0); // no status line
    const struct {
        const char* name;
        QHash<QString, HttpResponse> answers; // any other address: no connection
        QString source;                       // empty: no observation
        WeatherFailure failure;
        QStringList asked;
    } cases[] = {
        {"the feed answers",
         {{FeedUrl, FakeHttpClient::reply(feedDocument())}},
         FeedUrl,
         WeatherFailure::None,
         {FeedUrl}},
        {"feed gone, forecast host answers",
         {{FeedUrl, notFound}, {ForecastUrl, FakeHttpClient::reply(feedDocument())}},
         ForecastUrl,
         WeatherFailure::None,
         {FeedUrl, ForecastUrl}},
        {"both XML hosts gone, the API answers",
         {{FeedUrl, notFound},
          {ForecastUrl, notFound},
          {LatestUrl, FakeHttpClient::reply(apiRecord("KATT.latest.json"))},
          {ApiStation, FakeHttpClient::reply(apiRecord("KPWM.station.json"))}},
         LatestUrl,
         WeatherFailure::None,
         {FeedUrl, ForecastUrl, LatestUrl, ApiStation}},
        {"latest record without condition: the newest complete one of the last five",
         {{LatestUrl, FakeHttpClient::reply(apiRecord("KCNK.latest.json"))},
          {RecentUrl, FakeHttpClient::reply(apiRecord("KCNK.observations.json"))}},
         RecentUrl,
         WeatherFailure::None,
         {FeedUrl, ForecastUrl, LatestUrl, RecentUrl, ApiStation}},
        {"latest record without condition and no better one: the latest",
         {{LatestUrl, FakeHttpClient::reply(apiRecord("KCNK.latest.json"))}},
         LatestUrl,
         WeatherFailure::None,
         {FeedUrl, ForecastUrl, LatestUrl, RecentUrl, ApiStation}},
        {"every record ahead of the clock: the latest is passed over like an incomplete one",
         {{LatestUrl, FakeHttpClient::reply(QJsonDocument(farFutureRecord()).toJson())},
          {RecentUrl, FakeHttpClient::reply(recentRecords({farFutureRecord()}))}},
         "",
         WeatherFailure::NotAnObservation,
         {FeedUrl, ForecastUrl, LatestUrl, RecentUrl}},
        {"every source gone",
         {{FeedUrl, notFound}, {ForecastUrl, notFound}, {LatestUrl, notFound}},
         "",
         WeatherFailure::NotFound,
         {FeedUrl, ForecastUrl, LatestUrl}},
        {"every source silent",
         {{FeedUrl, failed(HttpError::TimedOut)},
          {ForecastUrl, failed(HttpError::TimedOut)},
          {LatestUrl, failed(HttpError::TimedOut)}},
         "",
         WeatherFailure::TimedOut,
         {FeedUrl, ForecastUrl, LatestUrl}},
        {"no network", {}, "", WeatherFailure::NoConnection, {FeedUrl, ForecastUrl, LatestUrl}},
        {"refused",
         {{LatestUrl, failed(HttpError::Refused)}},
         "",
         WeatherFailure::NoConnection,
         {FeedUrl, ForecastUrl, LatestUrl}},
        // Answers that hold no observation, or whose status says they are none.
        {"error page with 200, feed XML with 500, raw reply, API problem",
         {{FeedUrl, FakeHttpClient::reply("<html><body>Service moved</body></html>")},
          {ForecastUrl, FakeHttpClient::reply(feedDocument(), 500)},
          {LatestUrl, FakeHttpClient::reply(R"({"title": "Unexpected Problem", "status": 500})")}},
         "",
         WeatherFailure::NotAnObservation,
         {FeedUrl, ForecastUrl, LatestUrl}},
        {"feed XML without a status line",
         {{FeedUrl, rawReply}, {ForecastUrl, rawReply}},
         "",
         WeatherFailure::NoConnection,
         {FeedUrl, ForecastUrl, LatestUrl}},
    };
    for (const auto& c : cases) {
        FakeServices fakes;
        fakes.clock.now = Now;
        fakes.http.answers = c.answers;
        ObservationSources sources;
        const FetchedObservation fetched = sources.fetch("KXYZ");
        EXPECT_EQ(fetched.document.has_value(), !c.source.isEmpty()) << c.name;
        EXPECT_EQ(fetched.source, c.source) << c.name;
        EXPECT_EQ(fetched.failure, c.failure) << c.name;
        EXPECT_EQ(urlsAsked(fakes.http), c.asked) << c.name;
        if (fetched.document) {
            EXPECT_TRUE(IsObservationDocument(*fetched.document)) << c.name;
        }
    }
}

TEST(ObservationChain, AgentsHeadersAndDirectConnections)
{
    EXPECT_EQ(Program::IdentifyingAgent(), "Tolvane/1.0.0 (+http://www.orlentis.example/)");
    FakeServices fakes;
    fakes.clock.now = Now;
    fakes.http.answers = {{LatestUrl, FakeHttpClient::reply(apiRecord("KATT.latest.json"))}};
    ObservationSources().fetch("KXYZ");
    ASSERT_EQ(fakes.http.requests.size(), 4u);
    const QList<std::pair<QByteArray, QByteArray>> geoJson = {{"Accept", "application/geo+json"}};
    EXPECT_EQ(fakes.http.requests[0].agent, "vb wininet");
    EXPECT_TRUE(fakes.http.requests[0].headers.isEmpty());
    EXPECT_EQ(fakes.http.requests[1].agent, Program::IdentifyingAgent());
    EXPECT_EQ(fakes.http.requests[2].agent, Program::IdentifyingAgent());
    EXPECT_EQ(fakes.http.requests[2].headers, geoJson);
    EXPECT_EQ(fakes.http.requests[3].headers, geoJson);
    for (const HttpRequest& request : fakes.http.requests)
        EXPECT_EQ(request.proxy, ProxyMode::Direct) << request.url.toStdString();
}

TEST(ObservationChain, OneBudgetSharedSoNoSourceStarvesTheRest)
{
    FakeServices fakes;
    std::vector<qint64> left;
    fakes.http.handler = [&](const HttpRequest& request) {
        left.push_back(request.deadline.remainingTime());
        return failed(HttpError::TimedOut);
    };
    ObservationSources().fetch("KXYZ");
    ASSERT_EQ(left.size(), 3u);
    // A third of the budget, then half of what is left, then the rest; never past the budget.
    EXPECT_LE(left[0], ObservationSources::BudgetMs / 3);
    EXPECT_GT(left[0], ObservationSources::BudgetMs / 3 - 1000);
    EXPECT_GT(left[1], ObservationSources::BudgetMs / 2 - 1000);
    EXPECT_LE(left[2], ObservationSources::BudgetMs);
    EXPECT_GT(left[2], ObservationSources::BudgetMs - 1000);
}

TEST(ObservationChain, StartsWhereTheLastAnswerCameFromAndAsksForTheStationOnce)
{
    FakeServices fakes;
    fakes.clock.now = Now;
    fakes.http.answers = {{LatestUrl, FakeHttpClient::reply(apiRecord("KATT.latest.json"))},
                          {ApiStation, FakeHttpClient::reply("", 404)}};
    ObservationSources sources;
    ASSERT_TRUE(sources.fetch("KXYZ").document);
    fakes.http.requests.clear();
    fakes.http.answers.insert(FeedUrl, FakeHttpClient::reply(feedDocument()));

    // The API answered last: it is asked first, and the station (not found) is not asked again.
    EXPECT_EQ(sources.fetch("KXYZ").source, LatestUrl);
    EXPECT_EQ(urlsAsked(fakes.http), QStringList{LatestUrl});

    // When it stops answering, the others are tried from the top of the chain.
    fakes.http.requests.clear();
    fakes.http.answers.insert(LatestUrl, FakeHttpClient::reply("", 503));
    EXPECT_EQ(sources.fetch("KXYZ").source, FeedUrl);
    EXPECT_EQ(urlsAsked(fakes.http), (QStringList{LatestUrl, FeedUrl}));

    // A new run starts from the top.
    fakes.http.requests.clear();
    EXPECT_EQ(ObservationSources().fetch("KXYZ").source, FeedUrl);
    EXPECT_EQ(urlsAsked(fakes.http), QStringList{FeedUrl});
}

} // namespace
