#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>

// One bounded wait on the program's one thread. It runs a local event loop, so the window keeps
// repainting and answering the desktop, but the loop takes no user input: nothing typed or clicked
// can start a second command in the middle of this one.
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
