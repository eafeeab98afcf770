#include "platform/qt/QtTrayIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

namespace {
// The test Qt itself makes when it chooses a StatusNotifierItem over an XEmbed icon.
bool statusNotifierHostRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString watcher = "org.kde.StatusNotifierWatcher";
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusInterface properties(watcher, "/StatusNotifierWatcher", watcher, bus);
    return properties.property("IsStatusNotifierHostRegistered").toBool();
}
} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& icon) : picture_(icon) {}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::shown() const
{
    return icon_ && icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QString& tip)
{
    if (!icon_) {
        // Qt picks its kind of icon when the object is made, so ask the same question at that moment.
        activateMeansDoubleClick_ = statusNotifierHostRegistered();
        icon_ = std::make_unique<QSystemTrayIcon>(picture_);
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    if (icon_->isVisible())
        return;
    icon_->setToolTip(tip);
    icon_->show();
}

void QtTrayIcon::remove()
{
    if (icon_)
        icon_->hide();
}

void QtTrayIcon::setNotificationHandler(std::function<void(int code)> handler)
{
    handler_ = std::move(handler);
}

void QtTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    int code = 0;
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && activateMeansDoubleClick_))
        code = TrayNotification::LeftDoubleClick;
    else if (reason == QSystemTrayIcon::Context)
        code = TrayNotification::RightButtonUp;
    if (code != 0 && handler_)
        handler_(code);
}
