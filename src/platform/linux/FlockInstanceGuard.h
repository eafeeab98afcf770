#pragma once

#include "platform/InstanceGuard.h"

#include <QByteArray>
#include <QString>

// One copy per user: an exclusive flock on a file in the user's runtime folder, held for the life of
// the process. The kernel drops the lock when the process ends, however it ends, so no file left at
// the path (empty, garbled, another host's record) can refuse a start. Anything but a regular file
// there (a folder, a FIFO, a link) cannot be locked, and the program then starts unguarded.
class FlockInstanceGuard final : public InstanceGuard {
public:
    explicit FlockInstanceGuard(const QString& lockPath);
    ~FlockInstanceGuard() override;
    FlockInstanceGuard(const FlockInstanceGuard&) = delete;
    FlockInstanceGuard& operator=(const FlockInstanceGuard&) = delete;

    bool anotherCopyRunning() override;

private:
    QByteArray path_;
    int fd_ = -1; // open while this process holds the lock; the file is removed when it is given up
    bool claimed_ = false;
};
