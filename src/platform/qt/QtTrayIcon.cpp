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

QtTrayIcon::QtTrayIcon(const QIcon& icon) : m_picture(icon) {}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::shown() const
{
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::add(const QString& tip)
{
    if (!m_icon) {
        // Qt picks its kind of icon when the object is made, so ask the same question at that moment.
        m_activateMeansDoubleClick = statusNotifierHostRegistered();
        m_icon = std::make_unique<QSystemTrayIcon>(m_picture);
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
    }
    if (m_icon->isVisible())
        return;
    m_icon->setToolTip(tip);
    m_icon->show();
}

void QtTrayIcon::remove()
{
    if (m_icon)
        m_icon->hide();
}

void QtTrayIcon::setNotificationHandler(std::function<void(int code)> handler)
{
    m_handler = std::move(handler);
}

void QtTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    int code = 0;
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && m_activateMeansDoubleClick))
        code = TrayNotification::LeftDoubleClick;
    else if (reason == QSystemTrayIcon::Context)
        code = TrayNotification::RightButtonUp;
    if (code != 0 && m_handler)
        m_handler(code);
}
