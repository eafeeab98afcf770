#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>

// One bounded wait on the program's one thread. It runs a local event loop, so the window keeps
// repainting and answering the desktop, but it takes no user input: what is typed or clicked while it
// waits is dropped when it ends, so nothing can start a second command during this one or after it.
class LocalWait final {
public:
    // Ends the wait: at once when it runs, or before it starts so that it does not start at all.
    void finish();
    bool finished() const { return finished_; }
    // Returns when finish() is called or the deadline passes; true for finish().
    bool wait(QDeadlineTimer deadline);

private:
    QEventLoop loop_;
    bool finished_ = false;
};
