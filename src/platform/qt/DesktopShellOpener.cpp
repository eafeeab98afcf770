#include "platform/qt/DesktopShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShellOpener::open(const QString& target)
{
    // A web address stays as written; a plain path becomes a file URL.
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}
