#include "platform/AppDir.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(FileSystem, ResolvesBackslashPathsWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Images"));
    const QString root = dir.path();
    const struct {
        QString given;
        QString resolved;
    } cases[] = {
        {root + "\\Images\\clear.jpg", root + "/Images/clear.jpg"},
        {root + "\\images\\clear.jpg", root + "/Images/clear.jpg"},
        {root + "\\\\images\\x", root + "/Images/x"},
        {root + "/IMAGES/", root + "/Images"},
        {root + "\\Media\\a.wav", root + "/Media/a.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileSystem::resolve(c.given), c.resolved) << c.given.toStdString();
}

TEST(FileSystem, CreateFolderReusesAFolderSpeltOtherwise)
{
    QTemporaryDir dir;
    ASSERT_TRUE(FileSystem::createFolder(dir.path() + "\\Media\\"));
    ASSERT_TRUE(FileSystem::createFolder(dir.path() + "\\media"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Media"});
    EXPECT_TRUE(FileSystem::folderExists(dir.path() + "\\MEDIA"));
    EXPECT_FALSE(FileSystem::fileExists(dir.path() + "\\Media")) << "a folder is not a file";
}

TEST(FileSystem, TextFilesReadBackAsLines)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "\\Weather.dat";
    ASSERT_TRUE(FileSystem::replaceFileAtomically(path, "a\r\nb\nc\r\n"));
    EXPECT_EQ(FileSystem::readLines(path), (QList<QByteArray>{"a", "b", "c"}));
    ASSERT_TRUE(FileSystem::replaceFileAtomically(path, "\r\n"));
    EXPECT_EQ(FileSystem::readLines(path), (QList<QByteArray>{""}));
    bool ok = true;
    EXPECT_TRUE(FileSystem::readLines(dir.path() + "/none", &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(FileSystem::replaceFileAtomically(dir.path() + "/no/such/folder/x", "x"));
}

TEST(FileSystem, AtomicReplaceKeepsBytesExactly)
{
    QTemporaryDir dir;
    const QByteArray binary("\xff\xd8\x00\r\n\x01", 6);
    ASSERT_TRUE(FileSystem::replaceFileAtomically(dir.path() + "/p.jpg", binary));
    EXPECT_EQ(readAll(dir.path() + "/p.jpg"), binary);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.jpg"}) << "no temporary file left";
}

TEST(AppDir, ExecutableFolderWhenWritableElseUserDataFolder)
{
    QTemporaryDir dir;
    EXPECT_EQ(ChooseAppDir(dir.path(), "/data"), dir.path());
    EXPECT_EQ(ChooseAppDir(dir.path() + "/missing", "/data"), "/data/Tolvane");
    // An installed layout: bin/ with share/tolvane/packs beside it.
    ASSERT_TRUE(QDir(dir.path()).mkpath("usr/bin") && QDir(dir.path()).mkpath("usr/share/tolvane/packs"));
    EXPECT_EQ(ChooseAppDir(dir.path() + "/usr/bin", "/data"), "/data/Tolvane");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(dir.path()).isWritable())
        GTEST_SKIP() << "running as root: every folder is writable";
    EXPECT_EQ(ChooseAppDir(dir.path(), "/data"), "/data/Tolvane");
}

} // namespace
