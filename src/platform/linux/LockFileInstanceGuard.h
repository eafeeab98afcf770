#pragma once

#include "platform/InstanceGuard.h"

#include <QLockFile>

// One copy per user: a lock file in the user's runtime folder, held for the life of the process.
// A lock left by a crashed copy is taken over (QLockFile checks whether its owner still runs).
class LockFileInstanceGuard final : public InstanceGuard {
public:
    explicit LockFileInstanceGuard(const QString& lockPath);
    bool anotherCopyRunning() override;

private:
    QLockFile m_lock;
    bool m_held = false;
};
