#include "BuildConfig.h"
#include "platform/fake/FakeServices.h"
#include "weather/Observation.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QUrl>

namespace {

TEST(Observation, BaseUrlIsTheFeedPathOnTheBuiltInHost)
{
    const QUrl base(ObservationBaseUrl());
    EXPECT_EQ(base.scheme(), "http");
    EXPECT_EQ(base.host(), BuildConfig::FeedHost);
    EXPECT_EQ(base.port(), -1);
    EXPECT_EQ(base.path(), "/data/current_obs/");
}

TEST(Observation, OneDirectGetOfTheStationDocument)
{
    const struct {
        QString code;
        QString path;
    } cases[] = {
        {"KXYZ", "/data/current_obs/KXYZ.xml"},
        {"", "/data/current_obs/.xml"},         // not rejected
        {"kxyz", "/data/current_obs/kxyz.xml"}, // used as it stands
    };
    for (const auto& c : cases) {
        FakeServices fakes;
        GetObservation(c.code);
        ASSERT_EQ(fakes.http.requests.size(), 1u);
        const HttpRequest& request = fakes.http.requests.front();
        EXPECT_EQ(request.url, ObservationBaseUrl() + c.code + ".xml");
        EXPECT_EQ(QUrl(request.url).path(), c.path);
        EXPECT_EQ(request.agent, "vb wininet");
        EXPECT_EQ(request.proxy, ProxyMode::Direct);
    }
}

TEST(Observation, BodyReturnedByteForByteWhateverTheReply)
{
    QByteArray allBytes;
    for (int i = 0; i < 1000; ++i)
        allBytes += char(i % 256);
    HttpResponse brokenOff = FakeHttpClient::reply("<current_observation>\n<loca");
    brokenOff.complete = false;
    HttpResponse noSession = FakeHttpClient::notConnected();
    noSession.sessionOpened = false;

    const struct {
        const char* name;
        HttpResponse response;
        QByteArray body;
    } cases[] = {
        {"short body", FakeHttpClient::reply("<a>\r\n"), "<a>\r\n"},
        {"1000 bytes of every value", FakeHttpClient::reply(allBytes), allBytes},
        {"512 bytes", FakeHttpClient::reply(QByteArray(512, 'x')), QByteArray(512, 'x')},
        {"error page", FakeHttpClient::reply("<html>Not Found</html>", 404), "<html>Not Found</html>"},
        {"broken off", brokenOff, "<current_observation>\n<loca"},
        {"empty body", FakeHttpClient::reply(""), ""},
        {"no connection", FakeHttpClient::notConnected(), ""},
        {"no session", noSession, ""},
    };
    for (const auto& c : cases) {
        FakeServices fakes;
        fakes.http.answers.insert(ObservationBaseUrl() + "KXYZ.xml", c.response);
        const QByteArray body = GetObservation("KXYZ");
        EXPECT_EQ(body, c.body) << c.name;
        EXPECT_EQ(body.size(), c.body.size()) << c.name;
    }
}

} // namespace
