#pragma once

#include <QString>

#include <functional>

// The mouse messages the notification icon reports, numbered as the window messages they stand for.
namespace TrayNotification {
constexpr int LeftDoubleClick = 0x0203;
constexpr int RightButtonUp = 0x0205;
} // namespace TrayNotification

// The program's icon in the desktop's notification area, showing the program's own icon and a tip.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // True while the icon is on show in a notification area: only then can a hidden window be
    // brought back through it.
    virtual bool shown() const = 0;
    // Shows the icon with `tip`. Refused while the icon is present: icon and tip stay as they were.
    virtual void add(const QString& tip) = 0;
    virtual void remove() = 0;
    // Receives the icon's mouse messages (see TrayNotification) on the user-interface thread.
    virtual void setNotificationHandler(std::function<void(int code)> handler) = 0;
};
