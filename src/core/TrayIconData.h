#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The notification record, laid out as the 88-byte shell structure it mirrors. The tip field holds
// 64 characters: the tip text, one NUL, spaces for the rest; text beyond the field is cut off.
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

    // The 88 bytes, little-endian, the tip as single-byte characters ('?' where none fits).
    QByteArray bytes() const;
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
