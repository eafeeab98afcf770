#pragma once

#include "platform/TrayIcon.h"

#include <QIcon>
#include <QSystemTrayIcon>

#include <memory>

// The notification icon through Qt's system tray: a StatusNotifierItem where the desktop hosts
// those, otherwise an XEmbed icon in a tray such as trayer or stalonetray.
class QtTrayIcon final : public TrayIcon {
public:
    explicit QtTrayIcon(const QIcon& icon);
    ~QtTrayIcon() override;

    bool shown() const override;
    void add(const QString& tip) override;
    void remove() override;
    void setNotificationHandler(std::function<void(int code)> handler) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QIcon picture_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    // StatusNotifierItem hosts have no double-click: their "activate" (a left click) stands for it.
    bool activateMeansDoubleClick_ = false;
    std::function<void(int)> handler_;
};
