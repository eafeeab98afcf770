#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "weather/WeatherFiles.h"

#include "PrintQString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

TEST_F(WeatherFiles, ReplyStoredWithCrLfAndReadBackAsLines)
{
    for (const StoreCase& c : StoreCases) {
        EXPECT_EQ(StoreObservation(c.reply), c.lines) << c.name;
        EXPECT_EQ(readBytes(folder.path() + "/Weather.dat"), c.reply + "\r\n") << c.name;
    }
}

TEST_F(WeatherFiles, EarlierFileReplacedWhateverItsSpelling)
{
    writeBytes(folder.path() + "/weather.DAT", "an earlier, longer reply\r\n");
    EXPECT_EQ(StoreObservation(""), QList<QByteArray>{""});
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"weather.DAT"});
    EXPECT_EQ(readBytes(folder.path() + "/weather.DAT"), "\r\n");
}

TEST_F(WeatherFiles, UnwritableFileStillGivesTheLines)
{
    // A folder in the file's place: it can be neither written nor read as a file, even by root.
    ASSERT_TRUE(QDir(folder.path()).mkdir("Weather.dat"));
    for (const StoreCase& c : StoreCases)
        EXPECT_EQ(StoreObservation(c.reply), c.lines) << c.name;

    services().appDir = folder.path() + "/missing/folder";
    EXPECT_EQ(StoreObservation("a\r\nb"), (QList<QByteArray>{"a", "b"}));
}

TEST_F(WeatherFiles, PictureFallsBackToClear)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("images"));
    writeBytes(folder.path() + "/images/SCT.jpg", "jpeg");
    const QString images = folder.path() + "\\Images\\";
    EXPECT_EQ(WeatherPicturePath("sct.jpg"), images + "sct.jpg");
    EXPECT_EQ(WeatherPicturePath("bkn.jpg"), images + "clear.jpg");
    EXPECT_EQ(WeatherPicturePath("clear.jpg"), images + "clear.jpg");
}

} // namespace
