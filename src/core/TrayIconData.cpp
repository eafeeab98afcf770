#include "core/TrayIconData.h"

#include "platform/TrayIcon.h"

QString NotifyIconRecord::tip() const
{
    const qsizetype end = szTip.indexOf(QChar(u'\0'));
    return end < 0 ? szTip : szTip.left(end);
}

NotifyIconRecord MakeNotifyIconRecord(quint32 window, quint32 icon, const QString& tip)
{
    NotifyIconRecord record;
    record.hWnd = window;
    record.hIcon = icon;
    record.szTip =
        (tip + QChar(u'\0')).left(NotifyIconRecord::TipWidth).leftJustified(NotifyIconRecord::TipWidth, u' ');
    return record;
}

TrayCommand TrayCommandFor(int code)
{
    switch (code) {
    case TrayNotification::LeftDoubleClick: return TrayCommand::Restore;
    case TrayNotification::RightButtonUp: return TrayCommand::PopUpMenu;
    default: return TrayCommand::None;
    }
}
