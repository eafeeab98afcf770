#include "UpdateTestSupport.h"

#include "platform/Services.h"
#include "platform/qt/QtHttpClient.h"
#include "support/FakeServices.h"
#include "update/PackCheck.h"
#include "update/PackSeeding.h"
#include "update/UpdateSite.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString packs = QStringLiteral(PACKS_DIR);

class PackCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(outer.isValid());
        ASSERT_TRUE(QDir().mkpath(appDir));
    }

    QStringList requestedUrls() const
    {
        QStringList urls;
        for (const HttpRequest& request : fakes.http.requests)
            urls << request.url;
        return urls;
    }

    QTemporaryDir outer;
    const QString appDir = outer.path() + "/program";
    FakeServices fakes{appDir};
};

TEST_F(PackCheckTest, FirstStartFetchesBothListsAndEveryListedFileInOrder)
{
    QtHttpClient http;
    LoopbackServer site(PackSiteRoutes(packs), NotFound());
    RouteUpdateSite(fakes.http, http, site.port());

    RunPackCheck();

    QStringList expected{"/update/images.dat|vb wininet"};
    for (const QString& name : ListedNames(packs + "/images.dat"))
        expected << "/update/\\images\\" + name + "|vb wininet";
    expected << "/update/media.dat|vb wininet";
    for (const QString& name : ListedNames(packs + "/media.dat"))
        expected << "/update/\\media\\" + name + "|vb wininet";
    EXPECT_EQ(TargetsAndAgents(site.requests()), expected);

    EXPECT_EQ(ReadBytes(appDir + "/images.dat"), ReadBytes(packs + "/images.dat") + "\r\n");
    EXPECT_EQ(ReadBytes(appDir + "/media.dat"), ReadBytes(packs + "/media.dat") + "\r\n");
    for (const QString& pack : QStringList{"Images", "Media"}) {
        EXPECT_EQ(EntriesUnder(appDir + "/" + pack), EntriesUnder(packs + "/" + pack));
        for (const QString& name : EntriesUnder(packs + "/" + pack))
            EXPECT_EQ(ReadBytes(appDir + "/" + pack + "/" + name), ReadBytes(packs + "/" + pack + "/" + name))
                << name.toStdString() << " must arrive byte for byte";
    }

    RunPackCheck();
    EXPECT_EQ(site.requests().size(), size_t(expected.size())) << "a complete program folder asks for nothing";
}

TEST(PackCheck, OnlyTheMissingListedFileIsFetched)
{
    // Folders and lists spelt in other ways on disk: the program's own spellings must find them.
    const struct {
        QString images, imagesList, media, mediaList, missingFrom, prefix;
    } cases[] = {
        {"images", "IMAGES.DAT", "Media", "media.dat", "images", "\\images\\"},
        {"Images", "images.dat", "MEDIA", "Media.DAT", "MEDIA", "\\media\\"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        FakeServices fakes(dir.path());
        fakes.http.handler = AnswerWithPackFiles(packs, "not asked for");
        for (const auto& [folder, list] : {std::pair(c.images, c.imagesList), std::pair(c.media, c.mediaList)}) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
            ASSERT_TRUE(WriteBytes(dir.path() + "/" + list, "a.x\r\nb.x\r\nc.x\r\n"));
            for (const QString& name : QStringList{"a.x", "b.x", "C.X"}) {
                if (folder != c.missingFrom || name != "b.x") {
                    ASSERT_TRUE(WriteBytes(dir.path() + "/" + folder + "/" + name, "kept"));
                }
            }
        }

        RunPackCheck();

        const std::string label = (c.missingFrom + " " + c.imagesList + " " + c.mediaList).toStdString();
        ASSERT_EQ(fakes.http.requests.size(), 1u) << label;
        EXPECT_EQ(fakes.http.requests[0].url, UpdateBaseUrl() + c.prefix + "b.x") << label;
        EXPECT_EQ(ReadBytes(dir.path() + "/" + c.missingFrom + "/b.x"),
                  ReadBytes(packs + (c.prefix == "\\images\\" ? "/Images/clear.jpg" : "/Media/thunder.wav")))
            << label;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2)
            << label << ": no second folder";
    }
}

TEST_F(PackCheckTest, EmptyLinesAndNamesThatAreNotPlainAreSkipped)
{
    // Every pack file asked for is answered and stored; the site has no better list.
    const auto packFiles = AnswerWithPackFiles(packs, {});
    fakes.http.handler = [&](const HttpRequest& request) {
        return request.url.endsWith(".dat") ? FakeHttpClient::reply("gone", 404) : packFiles(request);
    };
    const QByteArray absolute = (outer.path() + "/planted").toLatin1();
    const QByteArray list = "\r\n..\\..\\planted\r\n../../planted\r\n" + absolute +
                            "\r\n..\\planted\r\n"
                            "sub\\planted\r\nsub/planted\r\n.\r\n..\r\n\r\ngood.jpg\r\n";
    ASSERT_TRUE(WriteBytes(appDir + "/images.dat", list));
    ASSERT_TRUE(WriteBytes(appDir + "/media.dat", list));

    RunPackCheck();

    EXPECT_EQ(requestedUrls(),
              QStringList({UpdateBaseUrl() + "\\images\\good.jpg", UpdateBaseUrl() + "\\media\\good.jpg"}))
        << "one bad line costs no good name";
    EXPECT_EQ(EntriesUnder(outer.path()),
              QStringList({"program", "program/Images", "program/Images/good.jpg", "program/Media",
                           "program/Media/good.jpg", "program/images.dat", "program/media.dat"}));
}

TEST_F(PackCheckTest, AnUnreachableSiteIsAskedOnceAndTriedAgainNextTime)
{
    RunPackCheck(); // no connection to any address
    EXPECT_EQ(requestedUrls(), QStringList({UpdateBaseUrl() + "images.dat"}));
    EXPECT_EQ(EntriesUnder(appDir), QStringList({"Images", "Media"}));
    RunPackCheck();
    EXPECT_EQ(fakes.http.requests.size(), 2u);
}

TEST_F(PackCheckTest, AfterATimeOutNothingMoreIsAskedAndNothingIsLeftBehind)
{
    for (const char* list : {"images.dat", "media.dat"})
        ASSERT_TRUE(QFile::copy(packs + "/" + list, appDir + "/" + list));
    // The site takes the connection and never answers: the client gives up at the deadline.
    fakes.http.handler = [](const HttpRequest&) {
        return HttpResponse{.sessionOpened = true, .connected = true, .error = HttpError::TimedOut};
    };
    RunPackCheck();
    ASSERT_EQ(requestedUrls(), QStringList({UpdateBaseUrl() + "\\images\\" + ListedNames(packs + "/images.dat")[0]}));
    const QDeadlineTimer deadline = fakes.http.requests[0].deadline;
    EXPECT_FALSE(deadline.isForever());
    EXPECT_LE(deadline.remainingTime(), PackCheckBudgetMs) << "one budget for the whole check";
    EXPECT_EQ(EntriesUnder(appDir), QStringList({"Images", "Media", "images.dat", "media.dat"}))
        << "nothing left behind that the next start would take for a file it has";
}

TEST_F(PackCheckTest, OnlyAListedFileServedAsSomethingElseDropsTheList)
{
    const QByteArray oldList = "clear.jpg\r\ngone.jpg\r\n";
    const QByteArray newList = "clear.jpg\r\nsct.jpg\r\n";
    ASSERT_TRUE(WriteBytes(appDir + "/media.dat", "thunder.wav\r\n"));
    const auto packFiles = AnswerWithPackFiles(packs, newList);
    const struct {
        const char* what;
        HttpResponse gone;
        bool listKept;
    } cases[] = {
        {"not found", FakeHttpClient::reply("gone", 404), true},
        {"cut short", {.sessionOpened = true, .connected = true, .status = 200, .body = "\xff\xd8"}, true},
        {"timed out", {.sessionOpened = true, .connected = true, .error = HttpError::TimedOut}, true},
        {"a page sent with 200", FakeHttpClient::reply("<html>Log in</html>"), false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(appDir + "/images.dat", oldList));
        QFile::remove(appDir + "/Images/clear.jpg");
        fakes.http.handler = [&](const HttpRequest& request) {
            return request.url.endsWith("gone.jpg") ? c.gone : packFiles(request);
        };
        RunPackCheck();
        EXPECT_EQ(QFile::exists(appDir + "/images.dat"), c.listKept) << c.what;
        EXPECT_EQ(EntriesUnder(appDir + "/Images"), QStringList{"clear.jpg"}) << c.what;
    }
    EXPECT_EQ(ReadBytes(appDir + "/media.dat"), "thunder.wav\r\n") << "a list whose files all came is kept";

    // The next start brings the list again, then what it names.
    fakes.http.requests.clear();
    RunPackCheck();
    EXPECT_EQ(requestedUrls(), QStringList({UpdateBaseUrl() + "images.dat", UpdateBaseUrl() + "\\images\\sct.jpg"}));
    EXPECT_EQ(ReadBytes(appDir + "/images.dat"), newList + "\r\n");
    EXPECT_EQ(EntriesUnder(appDir + "/Images"), QStringList({"clear.jpg", "sct.jpg"}));
}

TEST_F(PackCheckTest, TheBytesOfOneCheckAreCapped)
{
    ASSERT_TRUE(QDir(appDir).mkpath("Images") && QDir(appDir).mkpath("Media"));
    ASSERT_TRUE(WriteBytes(appDir + "/images.dat", "1.jpg\r\n2.jpg\r\n3.jpg\r\n4.jpg\r\n5.jpg\r\n"));
    ASSERT_TRUE(WriteBytes(appDir + "/media.dat", "1.wav\r\n"));
    // Pictures as large as the client takes one body: four of them are all a check may receive.
    QByteArray large = ReadBytes(packs + "/Images/clear.jpg");
    large.append(8 * 1024 * 1024 - large.size(), '\0');
    fakes.http.handler = [&](const HttpRequest&) { return FakeHttpClient::reply(large); };

    RunPackCheck();

    EXPECT_EQ(requestedUrls().size(), 4) << requestedUrls().join(' ').toStdString();
    EXPECT_EQ(EntriesUnder(appDir + "/Images"), QStringList({"1.jpg", "2.jpg", "3.jpg", "4.jpg"}));
    EXPECT_EQ(EntriesUnder(appDir + "/Media"), QStringList());
}

TEST_F(PackCheckTest, ASpentBudgetAsksNothing)
{
    RunPackCheck(UpdateBudget{.deadline = QDeadlineTimer(0)});
    EXPECT_EQ(requestedUrls(), QStringList());
    EXPECT_EQ(EntriesUnder(appDir), QStringList({"Images", "Media"}));
}

TEST_F(PackCheckTest, APackFolderThatCannotBeMadeDoesNotStopTheCheck)
{
    ASSERT_TRUE(WriteBytes(appDir + "/Images", "a file where the folder belongs"));
    fakes.http.handler = AnswerWithPackFiles(packs, "x.bin");
    RunPackCheck();
    EXPECT_EQ(requestedUrls(), QStringList({UpdateBaseUrl() + "images.dat", UpdateBaseUrl() + "media.dat",
                                            UpdateBaseUrl() + "\\media\\x.bin"}))
        << "no picture can be stored, so none is asked for; the sounds go on";
    EXPECT_EQ(ReadBytes(appDir + "/Media/x.bin"), ReadBytes(packs + "/Media/thunder.wav"));
}

TEST_F(PackCheckTest, AnInstalledProgramSeedsItsDataFolderAndNeedsNoNetwork)
{
    const QString dataDir = outer.path() + "/data/Tolvane";
    // A picture the user already has, in a folder spelt otherwise, is kept as it is.
    ASSERT_TRUE(QDir().mkpath(dataDir + "/images"));
    ASSERT_TRUE(WriteBytes(dataDir + "/images/CLEAR.jpg", "mine"));

    SeedPacksFrom(packs, dataDir);
    SeedPacksFrom(packs, dataDir); // a second start copies nothing more

    QStringList expected = EntriesUnder(packs).replaceInStrings(QRegularExpression("^Images"), "images");
    expected.replaceInStrings("images/clear.jpg", "images/CLEAR.jpg");
    expected.sort();
    EXPECT_EQ(EntriesUnder(dataDir), expected);
    EXPECT_EQ(ReadBytes(dataDir + "/images/CLEAR.jpg"), "mine");
    EXPECT_EQ(ReadBytes(dataDir + "/Media/thunder.wav"), ReadBytes(packs + "/Media/thunder.wav"));

    services().appDir = dataDir;
    services().executablePath = outer.path() + "/bin/tolvane";
    EXPECT_TRUE(RunsFromDataFolder());
    RunPackCheck();
    EXPECT_EQ(requestedUrls(), QStringList());

    services().executablePath = dataDir + "/tolvane";
    EXPECT_FALSE(RunsFromDataFolder()) << "a portable program keeps its data beside it";
}

} // namespace
