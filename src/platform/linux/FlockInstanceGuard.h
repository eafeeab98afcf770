#pragma once

#include "platform/InstanceGuard.h"

#include <QByteArray>
#include <QString>

// One copy per user: an exclusive flock on a file in the user's runtime folder, held for the life of
// the process. The kernel drops the lock when the process ends, however it ends, so nothing left at
// the path (an empty or garbled file, another host's record, a folder) can refuse a start.
class FlockInstanceGuard final : public InstanceGuard {
public:
    explicit FlockInstanceGuard(const QString& lockPath);
    ~FlockInstanceGuard() override;
    FlockInstanceGuard(const FlockInstanceGuard&) = delete;
    FlockInstanceGuard& operator=(const FlockInstanceGuard&) = delete;

    bool anotherCopyRunning() override;

private:
    QByteArray path_;
    int fd_ = -1;           // open while this process holds the lock
    bool ownsFile_ = false; // a plain file, removed again when the lock is given up
    bool claimed_ = false;
};
