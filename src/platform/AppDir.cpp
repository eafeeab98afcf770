#include "platform/AppDir.h"

#include "platform/Services.h"

#include <QFileInfo>

QString AppDir()
{
    return services().appDir;
}

QString ChooseAppDir(const QString& executableDir, const QString& dataHome)
{
    const QFileInfo folder(executableDir);
    if (folder.isDir() && folder.isWritable())
        return executableDir;
    return dataHome + "/Tolvane";
}
