#pragma once

#include <QString>
#include <QtGlobal>

// The notification record: the window and icon it belongs to, and a tip field of 64 characters
// holding the tip text, one NUL and spaces for the rest; text beyond the field is cut off.
struct NotifyIconRecord {
    static constexpr int Size = 88;
    static constexpr int TipWidth = 64;

    quint32 cbSize = Size;
    quint32 hWnd = 0;
    quint32 uID = 1;
    quint32 uFlags = 7;                // a callback message, an icon and a tip
    quint32 uCallbackMessage = 0x0200; // the icon's mouse messages arrive as mouse moves
    quint32 hIcon = 0;
    QString szTip = QString(TipWidth, u' ');

    // The tip as the desktop shows it: the field up to its NUL, or the whole field when the NUL was cut off.
    QString tip() const;
};

// The record for the window's handle and icon and the tip.
NotifyIconRecord MakeNotifyIconRecord(quint32 window, quint32 icon, const QString& tip);

inline NotifyIconRecord TrayIconData;

// What the main window does with a mouse message from the notification icon (the horizontal
// coordinate of the mouse move that carries it, in pixels).
enum class TrayCommand { None, Restore, PopUpMenu };
TrayCommand TrayCommandFor(int code);
