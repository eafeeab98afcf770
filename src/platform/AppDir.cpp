#include "platform/AppDir.h"

#include "BuildConfig.h"

#include "platform/Services.h"

#include <QFileInfo>

QString AppDir()
{
    return services().appDir;
}

QString AppPath(std::initializer_list<QString> parts)
{
    QString path = AppDir();
    for (const QString& part : parts)
        path += u'/' + part;
    return path;
}

QString ChooseAppDir(const QString& executableDir, const QString& dataHome)
{
    // An installed program (its packs in share/ beside bin/) never writes into its own folder, even
    // when the user could (root).
    const bool installed =
        QFileInfo(executableDir + "/" + QString::fromUtf8(BuildConfig::InstalledPackDirFromExecutable)).isDir();
    const QFileInfo folder(executableDir);
    if (!installed && folder.isDir() && folder.isWritable())
        return executableDir;
    return dataHome + "/Tolvane";
}
