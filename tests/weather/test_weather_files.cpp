#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "weather/ObservationFields.h"
#include "weather/WeatherFiles.h"
#include "weather/Windows1252.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WeatherFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        services().appDir = folder.path();
    }
    void TearDown() override { services().appDir.clear(); }

    QTemporaryDir folder;
};

struct StoreCase {
    const char* name;
    QByteArray reply;
    QList<QByteArray> lines;
};

const StoreCase StoreCases[] = {
    {"empty reply", "", {""}},
    {"one line", "abc", {"abc"}},
    {"CR LF and LF mixed", "a\r\nb\nc\r\n", {"a", "b", "c", ""}},
    {"ends without a line end", "a\nb", {"a", "b"}},
    {"empty lines kept", "\n\r\n\n", {"", "", "", ""}},
    {"lone CR is no line end", "a\rb", {"a\rb"}},
    {"single-byte text kept", "\xb0\xfc\x80", {"\xb0\xfc\x80"}},
};

// The lines of a stored text, as the refresh looks at them.
QList<QByteArray> linesOf(const QByteArray& text)
{
    const QString decoded = QString::fromLatin1(text);
    QList<QByteArray> lines;
    for (qsizetype index = 0; const std::optional<QStringView> line = LineAt(decoded, index); ++index)
        lines << line->toString().toLatin1();
    return lines;
}

TEST_F(WeatherFiles, ReplyStoredWithCrLfAndReadBackAsLines)
{
    for (const StoreCase& c : StoreCases) {
        EXPECT_EQ(linesOf(StoreObservation(c.reply)), c.lines) << c.name;
        EXPECT_EQ(readBytes(folder.path() + "/Weather.dat"), c.reply + "\r\n") << c.name;
    }
}

TEST_F(WeatherFiles, EarlierFileReplacedWhateverItsSpelling)
{
    writeBytes(folder.path() + "/weather.DAT", "an earlier, longer reply\r\n");
    EXPECT_EQ(StoreObservation(""), "\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"weather.DAT"});
    EXPECT_EQ(readBytes(folder.path() + "/weather.DAT"), "\r\n");
}

TEST_F(WeatherFiles, UnwritableFileStillGivesTheLines)
{
    // A folder in the file's place: it can be neither written nor read as a file, even by root.
    ASSERT_TRUE(QDir(folder.path()).mkdir("Weather.dat"));
    EXPECT_EQ(linesOf(StoreObservation("a\r\nb")), (QList<QByteArray>{"a", "b"}));

    services().appDir = folder.path() + "/missing/folder";
    EXPECT_EQ(linesOf(StoreObservation("a\r\nb")), (QList<QByteArray>{"a", "b"}));
}

// A full disk: writes past 4 KiB fail, as they did when the file was left cut at 4096 bytes.
TEST_F(WeatherFiles, FailedWriteKeepsTheEarlierFileWhole)
{
    const QByteArray earlier = "<current_observation>\r\n\t<weather>Fog</weather>\r\n</current_observation>\r\n";
    writeBytes(folder.path() + "/Weather.dat", earlier);
    const QByteArray document = "<current_observation>\r\n" + QByteArray(8192, 'x') + "\r\n</current_observation>";

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QByteArray shown = StoreObservation(document);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(shown, document + "\r\n"); // the refresh still shows what it received
    EXPECT_EQ(readBytes(folder.path() + "/Weather.dat"), earlier);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"Weather.dat"}); // no temporary left
}

TEST_F(WeatherFiles, PictureFallsBackToClear)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("images"));
    writeBytes(folder.path() + "/images/SCT.jpg", "jpeg");
    const QString images = folder.path() + "/Images/"; // found on disk without regard to case
    EXPECT_EQ(WeatherPicturePath("sct.jpg"), images + "sct.jpg");
    EXPECT_EQ(WeatherPicturePath("bkn.jpg"), images + "clear.jpg");
    EXPECT_EQ(WeatherPicturePath("clear.jpg"), images + "clear.jpg");
}

} // namespace
