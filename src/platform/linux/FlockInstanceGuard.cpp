#include "platform/linux/FlockInstanceGuard.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock file, created when missing. A link is not followed (a dangling one would create its target
// elsewhere) and nothing waits (opening a FIFO would wait for a writer); only a regular file is
// locked. -1 when the path holds anything else.
int openForLock(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat opened = {};
    if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// True when `path` itself (not a link to it) still names the file open as `fd`.
bool pathNamesOpenFile(const char* path, int fd)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::lstat(path, &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

FlockInstanceGuard::FlockInstanceGuard(const QString& lockPath) : path_(QFile::encodeName(lockPath)) {}

FlockInstanceGuard::~FlockInstanceGuard()
{
    if (fd_ < 0)
        return;
    // Removed while still held: a start that opened it meanwhile finds, once it gets the lock, that
    // the path names it no more, and opens the path again. A file another copy made since is its own.
    if (pathNamesOpenFile(path_.constData(), fd_))
        ::unlink(path_.constData());
    ::close(fd_);
}

bool FlockInstanceGuard::anotherCopyRunning()
{
    if (claimed_)
        return false;
    claimed_ = true;
    // A copy that ends removes its file: when that happens after we opened it, our lock is on a file
    // nobody else finds, so open the path again. Each further round means another copy ended meanwhile.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = openForLock(path_.constData());
        if (fd < 0)
            return false; // no lock can be had here; that must not keep the program from starting
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool heldElsewhere = errno == EWOULDBLOCK;
            ::close(fd);
            return heldElsewhere;
        }
        if (pathNamesOpenFile(path_.constData(), fd)) {
            fd_ = fd;
            return false;
        }
        ::close(fd);
    }
    return false;
}
