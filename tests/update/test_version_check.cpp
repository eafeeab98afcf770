#include "UpdateTestSupport.h"
#include "weather/PrintQString.h"

#include "support/FakeServices.h"
#include "update/UpdateSite.h"
#include "update/VersionCheck.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

const QString newer = QStringLiteral("A newer version is available.");
const QString newest = QStringLiteral("Your version is newest available.");

TEST(VersionCheck, ComparesTheTextsOrdinally)
{
    const struct {
        QByteArray running, published;
        QString outcome;
    } cases[] = {
        {"1.0.0", "1.0.1", newer},
        {"1.0.0", "1.0.0", newest},
        {"1.0.0", "0.9.9", newest},
        // Characters, not numbers: '1' sorts before '9'.
        {"1.0.10", "1.0.9", newer},
        {"1.0.9", "1.0.10", newest},
        {"1.0.0", "1.0", newest},
        {"1.0.0", "2", newer},
        // Trailing spaces and tabs are no part of the version.
        {"1.0.0", "1.0.0 ", newest},
        {"1.0.0", "1.0.1 \t ", newer},
        // Whatever is not a version number says nothing about versions.
        {"1.0.0", "", VersionCheckFailedText()},
        {"1.0.0", "   ", VersionCheckFailedText()},
        {"1.0.0", "1.0.0 beta", VersionCheckFailedText()},
        {"1.0.0", " 1.0.1", VersionCheckFailedText()},
        {"1.0.0", "1..0", VersionCheckFailedText()},
        {"1.0.0", "1.0.", VersionCheckFailedText()},
        {"1.0.0", "v1.0.1", VersionCheckFailedText()},
        {"1.0.0", "<!DOCTYPE html>", VersionCheckFailedText()},
        {"1.0.0", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), VersionCheckFailedText()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionCheckOutcome(c.running, c.published), c.outcome)
            << c.running.constData() << " against " << c.published.toPercentEncoding().constData();
    // Case-sensitive, by character code, bytes above 127 sorting last.
    EXPECT_FALSE(NewerVersionPublished("1.0.0a", "1.0.0B"));
    EXPECT_FALSE(NewerVersionPublished("1.0.\xe9", "1.0.1"));
}

TEST(VersionCheck, ReadsTheFirstLineOfTheFetchedFile)
{
    const struct {
        const char* what;
        std::optional<HttpResponse> reply; // none: the site cannot be reached
        std::optional<QByteArray> earlierCopy;
        QString outcome;
    } cases[] = {
        {"newer published", FakeHttpClient::reply("1.0.1\r\n"), std::nullopt, newer},
        {"same, LF ends", FakeHttpClient::reply("1.0.0\n"), std::nullopt, newest},
        {"older, more lines", FakeHttpClient::reply("0.9.9\r\n2.0.0\r\n"), std::nullopt, newest},
        {"empty first line", FakeHttpClient::reply("\r\n1.0.1\r\n"), std::nullopt, VersionCheckFailedText()},
        {"unreachable, no copy", std::nullopt, std::nullopt, VersionCheckFailedText()},
        {"404, no copy", FakeHttpClient::reply("<html>Not Found</html>", 404), std::nullopt, VersionCheckFailedText()},
        // A copy from an earlier check never answers for one that failed.
        {"unreachable, earlier copy", std::nullopt, QByteArray("1.0.1\r\n\r\n"), VersionCheckFailedText()},
        {"404, earlier copy", FakeHttpClient::reply("9.9.9", 404), QByteArray("1.0.0\r\n\r\n"),
         VersionCheckFailedText()},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        FakeServices fakes(dir.path());
        if (c.reply)
            fakes.http.answers.insert(UpdateBaseUrl() + "version.dat", *c.reply);
        if (c.earlierCopy) {
            ASSERT_TRUE(WriteBytes(dir.path() + "/version.dat", *c.earlierCopy));
        }
        EXPECT_EQ(RunVersionCheck(), c.outcome) << c.what;
        ASSERT_EQ(fakes.http.requests.size(), 1u) << c.what;
        EXPECT_EQ(fakes.http.requests[0].url, UpdateBaseUrl() + "version.dat") << c.what;
    }
}

} // namespace
