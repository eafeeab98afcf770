#include "platform/qt/LocalWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>

namespace {

// The loop holds back keys and clicks rather than dropping them, so without this they would all run
// the moment the wait ends: a second command the user never saw start. While waiting, the window
// acts like a disabled one, which takes no input at all.
class InputDropper final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease: return true;
        default: return false;
        }
    }
};

void DropInputHeldBack()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    InputDropper dropper;
    app->installEventFilter(&dropper);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&dropper);
}

} // namespace

void LocalWait::finish()
{
    finished_ = true;
    loop_.quit();
}

bool LocalWait::wait(QDeadlineTimer deadline)
{
    if (finished_)
        return true;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop_, &QEventLoop::quit);
    if (!deadline.isForever())
        timer.start(std::chrono::milliseconds(qMax<qint64>(deadline.remainingTime(), 0)));
    loop_.exec(QEventLoop::ExcludeUserInputEvents);
    DropInputHeldBack();
    return finished_;
}
