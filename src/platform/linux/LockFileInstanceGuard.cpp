#include "platform/linux/LockFileInstanceGuard.h"

LockFileInstanceGuard::LockFileInstanceGuard(const QString& lockPath) : m_lock(lockPath)
{
    m_lock.setStaleLockTime(0); // only a dead owner makes a lock stale, never its age
}

bool LockFileInstanceGuard::anotherCopyRunning()
{
    if (!m_held)
        m_held = m_lock.tryLock(0);
    return !m_held && m_lock.error() == QLockFile::LockFailedError;
}
