// The single-copy lock: one holder at a time, a file nobody else holds removed at the end, and
// nothing found at the path ever blocking or redirecting a start.
#include "platform/linux/FlockInstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <sys/stat.h>

namespace {

class InstanceGuardTest : public testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath("Tolvane.lock");
};

TEST_F(InstanceGuardTest, OneCopyHoldsTheLockUntilItEnds)
{
    auto first = std::make_unique<FlockInstanceGuard>(path);
    EXPECT_FALSE(first->anotherCopyRunning());
    EXPECT_TRUE(FlockInstanceGuard(path).anotherCopyRunning());
    first.reset();
    EXPECT_FALSE(QFileInfo::exists(path)) << "the file went with its holder";
    EXPECT_FALSE(FlockInstanceGuard(path).anotherCopyRunning());
}

TEST_F(InstanceGuardTest, EndingNeverRemovesAFileAnotherCopyHolds)
{
    auto first = std::make_unique<FlockInstanceGuard>(path);
    ASSERT_FALSE(first->anotherCopyRunning());
    ASSERT_TRUE(QFile::remove(path)); // as a cleaner of the runtime folder would
    FlockInstanceGuard second(path);
    ASSERT_FALSE(second.anotherCopyRunning());
    first.reset();
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(FlockInstanceGuard(path).anotherCopyRunning());
}

struct FoundAtPath {
    const char* name;
    std::function<void(const QString& path, const QString& elsewhere)> make;
    bool guards; // a second copy is refused while the first runs
};

class LockPathTest : public InstanceGuardTest, public testing::WithParamInterface<FoundAtPath> {};

TEST_P(LockPathTest, NeverBlocksAStartNorWritesElsewhere)
{
    const QString elsewhere = dir.filePath("elsewhere");
    GetParam().make(path, elsewhere);
    FlockInstanceGuard first(path);
    EXPECT_FALSE(first.anotherCopyRunning()); // a FIFO opened for reading would hang here
    EXPECT_EQ(FlockInstanceGuard(path).anotherCopyRunning(), GetParam().guards);
    EXPECT_FALSE(QFileInfo::exists(elsewhere)) << "a link was followed";
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, LockPathTest,
    testing::Values(
        FoundAtPath{"EmptyFile", [](const QString& path, const QString&) { QFile(path).open(QIODevice::WriteOnly); },
                    true},
        FoundAtPath{"Fifo", [](const QString& path, const QString&) { ::mkfifo(QFile::encodeName(path), 0600); },
                    false},
        FoundAtPath{"DanglingLink", [](const QString& path, const QString& elsewhere) { QFile::link(elsewhere, path); },
                    false},
        FoundAtPath{"LinkToFifo",
                    [](const QString& path, const QString& elsewhere) {
                        ::mkfifo(QFile::encodeName(elsewhere + "-fifo"), 0600);
                        QFile::link(elsewhere + "-fifo", path);
                    },
                    false},
        FoundAtPath{"Folder", [](const QString& path, const QString&) { QDir().mkpath(path + "/inside"); }, false}),
    [](const testing::TestParamInfo<FoundAtPath>& test) { return test.param.name; });

} // namespace
