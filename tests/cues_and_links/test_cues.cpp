#include "cues_and_links/Cues.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Counts how often a folder is opened (listing it opens it) while the object lives.
class FolderOpenings final {
public:
    explicit FolderOpenings(const QString& folder)
        : fd_(inotify_init1(IN_NONBLOCK)),
          watch_(inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN))
    {
    }
    ~FolderOpenings() { close(fd_); }
    bool valid() const { return fd_ >= 0 && watch_ >= 0; }
    int count() const
    {
        int events = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = read(fd_, buffer, sizeof buffer)) > 0;)
            for (const char* at = buffer; at < buffer + got;
                 at += sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(at)->len)
                ++events;
        return events;
    }

private:
    int fd_;
    int watch_;
};

void makeFile(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

class CueTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppSettings = {};
        QDir(appDir.path()).mkpath("Media");
        makeFile(appDir.path() + "/Media/compete.wav");
        QDir(appDir.path()).mkpath("Media/thunder.wav"); // a folder where a cue should be
    }
    QTemporaryDir appDir;
    FakeServices fakes{appDir.path()};
};

TEST_F(CueTest, PlaysOnlyAPlainFileWithSoundsOn)
{
    const struct {
        const char* sound;
        const char* cue;
        bool plays;
    } cases[] = {
        {"1", "compete.wav", true},  {"1", "COMPETE.WAV", true},  {"0", "compete.wav", false},
        {"", "compete.wav", false},  {"2", "compete.wav", false}, {"1", "goodbye.wav", false},
        {"1", "thunder.wav", false},
    };
    for (const auto& c : cases) {
        AppSettings.Sound = c.sound;
        fakes.sound.played.clear();
        PlayCue(c.cue);
        const QStringList expected = c.plays ? QStringList{appDir.path() + "/Media/compete.wav"} : QStringList{};
        EXPECT_EQ(fakes.sound.played, expected) << c.sound << " " << c.cue;
    }
    EXPECT_TRUE(fakes.messages.shown.empty()) << "a cue never says anything";
}

TEST_F(CueTest, SoundsOffNeverLooksAtTheMediaFolder)
{
    FolderOpenings openings(appDir.path());
    ASSERT_TRUE(openings.valid());
    AppSettings.Sound = "0";
    PlayCue("compete.wav");
    EXPECT_EQ(openings.count(), 0);

    AppSettings.Sound = "1";
    PlayCue("compete.wav");
    EXPECT_GT(openings.count(), 0) << "with sounds on the folder is searched for \"media\"";
}

TEST_F(CueTest, AnAppFolderEndingInASeparatorStillFindsTheCue)
{
    services().appDir = appDir.path() + "/";
    AppSettings.Sound = "1";
    PlayCue("compete.wav");
    EXPECT_EQ(fakes.sound.played, QStringList{appDir.path() + "/Media/compete.wav"});
}

} // namespace
