#include "UpdateTestSupport.h"

#include "platform/FileSystem.h"
#include "platform/qt/QtHttpClient.h"
#include "support/FakeServices.h"
#include "update/UpdateSite.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString packs = QStringLiteral(PACKS_DIR);

// The program folder lies one level inside a temporary folder, so a name that climbs out of it
// would leave a trace that the test can see.
class GetUpdateFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(outer.isValid());
        ASSERT_TRUE(QDir(appDir).mkpath("Images"));
        ASSERT_TRUE(QDir(appDir).mkpath("Media"));
    }

    QTemporaryDir outer;
    const QString appDir = outer.path() + "/program";
    FakeServices fakes{appDir};
    QtHttpClient http;
};

TEST_F(GetUpdateFileTest, RequestsTheNameAsItStandsAndStoresTheReply)
{
    const QByteArray picture = ReadBytes(packs + "/Images/clear.jpg");
    const QByteArray sound = ReadBytes(packs + "/Media/thunder.wav");
    const QByteArray list(512, 'a');
    const struct {
        QString name;
        QByteArray target;
        QByteArray body;
        QString storedAs;
        QByteArray stored;
    } cases[] = {
        {"version.dat", "/update/version.dat", "1.0.1\n", "version.dat", "1.0.1\n\r\n"},
        // A body of exactly two reads' worth is whole, and nothing follows it but the line end.
        {"images.dat", "/update/images.dat", list, "images.dat", list + "\r\n"},
        // Pack files keep their bytes; the lower-case folder of the name is the "Images" on disk.
        {"\\images\\clear.jpg", "/update/\\images\\clear.jpg", picture, "Images/clear.jpg", picture},
        {"\\media\\thunder.wav", "/update/\\media\\thunder.wav", sound, "Media/thunder.wav", sound},
    };
    std::map<QByteArray, LoopbackServer::Behaviour> routes;
    for (const auto& c : cases)
        routes[c.target] = LoopbackServer::reply(LoopbackServer::httpResponse(c.body));
    LoopbackServer site(routes, NotFound());
    RouteUpdateSite(fakes.http, http, site.port());

    QStringList expectedRequests;
    for (const auto& c : cases) {
        GetUpdateFile(c.name);
        expectedRequests << c.target + "|vb wininet";
        EXPECT_EQ(ReadBytes(appDir + "/" + c.storedAs), c.stored) << c.name.toStdString();
        EXPECT_EQ(fakes.http.requests.back().url, UpdateBaseUrl() + c.name);
        EXPECT_EQ(fakes.http.requests.back().proxy, ProxyMode::Direct);
    }
    EXPECT_EQ(TargetsAndAgents(site.requests()), expectedRequests);
    EXPECT_EQ(EntriesUnder(appDir),
              QStringList({"Images", "Images/clear.jpg", "Media", "Media/thunder.wav", "images.dat", "version.dat"}))
        << "no second folder differing in case, no temporary file left";
}

TEST_F(GetUpdateFileTest, ReplacesAnExistingFileWhole)
{
    const QByteArray picture = ReadBytes(packs + "/Images/clear.jpg");
    ASSERT_TRUE(WriteBytes(appDir + "/version.dat", QByteArray(4000, 'x')));
    ASSERT_TRUE(WriteBytes(appDir + "/Images/CLEAR.JPG", QByteArray(4000, 'x')));
    fakes.http.answers = {{UpdateBaseUrl() + "version.dat", FakeHttpClient::reply("2.0.0")},
                          {UpdateBaseUrl() + "\\images\\clear.jpg", FakeHttpClient::reply(picture)}};
    GetUpdateFile("version.dat");
    GetUpdateFile("\\images\\clear.jpg");
    EXPECT_EQ(ReadBytes(appDir + "/version.dat"), "2.0.0\r\n");
    EXPECT_EQ(ReadBytes(appDir + "/Images/CLEAR.JPG"), picture) << "the file as spelt on disk is the one replaced";
    EXPECT_EQ(EntriesUnder(appDir + "/Images"), QStringList{"CLEAR.JPG"});
}

TEST_F(GetUpdateFileTest, NothingUsableReceivedLeavesTheDestinationUntouched)
{
    const QByteArray headOf1000 = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n";
    const struct {
        const char* what;
        LoopbackServer::Behaviour reply;
        size_t attemptsEach = 1; // connections one download may make
    } cases[] = {
        {"404 with a page", NotFound()},
        {"500 with a page", LoopbackServer::reply(LoopbackServer::httpResponse("oops", 500))},
        {"redirect without a target", LoopbackServer::reply(LoopbackServer::httpResponse("moved", 301))},
        {"reset part-way", LoopbackServer::replyThenReset(headOf1000 + QByteArray(100, 'b'))},
        // Qt's HTTP client sends a GET again, a few times at most, when the connection ends before
        // a status line.
        {"no status line", LoopbackServer::reply("1.0.9\r\n"), 4},
    };
    ASSERT_TRUE(WriteBytes(appDir + "/version.dat", "1.0.0\r\n"));
    const QStringList before = EntriesUnder(appDir);
    for (const auto& c : cases) {
        LoopbackServer site(c.reply);
        RouteUpdateSite(fakes.http, http, site.port());
        GetUpdateFile("version.dat");
        GetUpdateFile("\\images\\new.jpg");
        EXPECT_GE(site.requests().size(), 2u) << c.what;
        EXPECT_LE(site.requests().size(), 2 * c.attemptsEach) << c.what;
        EXPECT_EQ(ReadBytes(appDir + "/version.dat"), "1.0.0\r\n") << c.what;
        EXPECT_EQ(EntriesUnder(appDir), before) << c.what;
    }
}

TEST_F(GetUpdateFileTest, APackFileIsStoredOnlyWhenItIsWhatItsPackHolds)
{
    const QByteArray picture = ReadBytes(packs + "/Images/clear.jpg");
    const QByteArray sound = ReadBytes(packs + "/Media/thunder.wav");
    QBuffer png;
    ASSERT_TRUE(png.open(QIODevice::WriteOnly) && QImage(4, 4, QImage::Format_RGB32).save(&png, "PNG"));
    const struct {
        const char* what;
        QString name;
        QByteArray body;
        bool stored;
    } cases[] = {
        {"a picture", "\\images\\a.jpg", picture, true},
        {"a sound", "\\media\\a.wav", sound, true},
        {"an error page as a picture", "\\images\\b.jpg", "<html><body>Not here</body></html>\r\n", false},
        {"the first bytes of a JPEG", "\\images\\c.jpg", picture.left(20), false},
        {"a PNG as a picture", "\\images\\d.jpg", png.data(), false},
        {"a sound as a picture", "\\images\\e.jpg", sound, false},
        {"a picture as a sound", "\\media\\b.wav", picture, false},
        {"a RIFF file that is no WAVE", "\\media\\c.wav", QByteArray("RIFF\x04\0\0\0AVI LIST", 16), false},
        {"an empty sound", "\\media\\d.wav", "", false},
    };
    for (const auto& c : cases) {
        fakes.http.answers[UpdateBaseUrl() + c.name] = FakeHttpClient::reply(c.body);
        EXPECT_EQ(GetUpdateFile(c.name), c.stored) << c.what;
        EXPECT_EQ(FileSystem::fileExists(appDir + c.name), c.stored) << c.what;
    }
}

TEST_F(GetUpdateFileTest, AListIsStoredWhenItNamesAFileAndHoldsNoMarkup)
{
    const struct {
        const char* what;
        QByteArray body;
        bool stored;
    } cases[] = {
        {"names", "clear.jpg\r\nsct.jpg\r\n", true},
        {"names, empty lines and LF ends", "\nclear.jpg\n\nsct.jpg", true},
        {"an HTML page", "<!DOCTYPE html>\r\n<html><body>Moved</body></html>\r\n", false},
        {"one tag", "<html>\r\n", false},
        {"a portal's names among markup", "clear.jpg\r\nsct.jpg\r\n-> log in first\r\n", false},
        {"a name that climbs out among good ones", "clear.jpg\r\n..\\Weather.dat\r\n", true},
        {"a drive", "C:clear.jpg\r\n", false},
        {"a question mark", "clear.jpg?x=1\r\n", false},
        {"binary bytes", QByteArray("\xff\xd8\xff\xe0\0\x10JFIF\0", 11), false},
        {"nothing", "", false},
        {"empty lines only", "\r\n\r\n", false},
    };
    for (const QString list : {"images.dat", "media.dat"})
        for (const auto& c : cases) {
            QFile::remove(appDir + "/" + list);
            fakes.http.answers[UpdateBaseUrl() + list] = FakeHttpClient::reply(c.body);
            EXPECT_EQ(GetUpdateFile(list), c.stored) << list.toStdString() << ": " << c.what;
            EXPECT_EQ(QFile::exists(appDir + "/" + list), c.stored) << list.toStdString() << ": " << c.what;
        }
}

TEST_F(GetUpdateFileTest, NothingIsStoredThatLeavesTheDiskBelowTheFloor)
{
    const QByteArray picture = ReadBytes(packs + "/Images/clear.jpg");
    fakes.http.handler = [&](const HttpRequest&) { return FakeHttpClient::reply(picture); };
    const QString destination = appDir + "/Images/clear.jpg";
    UpdateBudget budget;
    budget.freeSpaceFloor = QStorageInfo(appDir).bytesAvailable() + (1LL << 30); // more than the disk has
    EXPECT_EQ(GetUpdateFile("\\images\\clear.jpg", budget, destination), UpdateFetch::Failed);
    EXPECT_FALSE(QFile::exists(destination));
    budget.freeSpaceFloor = 0;
    EXPECT_EQ(GetUpdateFile("\\images\\clear.jpg", budget, destination), UpdateFetch::Stored);
    EXPECT_EQ(ReadBytes(destination), picture);
    EXPECT_EQ(fakes.http.requests.size(), 2u);
}

TEST_F(GetUpdateFileTest, RefusesNamesThatReachOutsideTheirFolder)
{
    // Any request that got through would be answered and stored.
    fakes.http.handler = [](const HttpRequest&) { return FakeHttpClient::reply("planted"); };
    const QString absolute = outer.path() + "/planted";
    const QString names[] = {
        "..\\..\\planted",
        "../../planted",
        absolute,
        "\\images\\..\\..\\planted",
        "\\images\\../../planted",
        "\\media\\..\\planted",
        "\\images\\.",
        "\\images\\..",
        "\\images\\",
        "",
        ".",
        "..",
        "\\other\\planted",
        "Images\\planted",
        "C:\\planted",
        "line\nbreak",
    };
    const QStringList before = EntriesUnder(outer.path());
    for (const QString& name : names)
        GetUpdateFile(name);
    EXPECT_TRUE(fakes.http.requests.empty()) << fakes.http.requests.front().url.toStdString();
    EXPECT_EQ(EntriesUnder(outer.path()), before);
}

TEST_F(GetUpdateFileTest, AMissingDestinationFolderIsNotCreated)
{
    fakes.http.handler = [](const HttpRequest&) { return FakeHttpClient::reply("data"); };
    ASSERT_TRUE(QDir(appDir + "/Media").removeRecursively());
    GetUpdateFile("\\media\\thunder.wav");
    EXPECT_FALSE(QDir(appDir + "/Media").exists());

    ASSERT_TRUE(QDir(appDir).removeRecursively());
    GetUpdateFile("version.dat");
    EXPECT_FALSE(QDir(appDir).exists());
    EXPECT_TRUE(fakes.http.requests.empty()) << "nothing could be stored, so nothing is asked for";
}

} // namespace
