#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The entry of `folder` whose name equals `name` without regard to case, preferring an exact match.
QString findEntry(const QString& folder, const QString& name)
{
    if (QFileInfo::exists(folder + '/' + name))
        return name;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

} // namespace

QString FileSystem::resolve(const QString& path)
{
    QString unified = path;
    unified.replace('\\', '/');
    const bool absolute = unified.startsWith('/');
    const QStringList parts = unified.split('/', Qt::SkipEmptyParts);
    QString result = absolute ? QStringLiteral("/") : QString();
    bool onDisk = true; // once a component is missing, nothing below it can exist
    for (const QString& part : parts) {
        QString name = part;
        if (onDisk && part != "." && part != "..") {
            const QString folder = result.isEmpty() ? QStringLiteral(".") : result;
            name = findEntry(folder, part);
            onDisk = QFileInfo::exists(folder + '/' + name);
        }
        if (!result.isEmpty() && !result.endsWith('/'))
            result += '/';
        result += name;
    }
    return result;
}

bool FileSystem::folderExists(const QString& path)
{
    return QFileInfo(resolve(path)).isDir();
}

bool FileSystem::createFolder(const QString& path)
{
    const QString resolved = resolve(path);
    return QDir().mkpath(resolved) && QFileInfo(resolved).isDir();
}

bool FileSystem::fileExists(const QString& path)
{
    return QFileInfo(resolve(path)).isFile();
}

bool FileSystem::replaceFileAtomically(const QString& path, const QByteArray& bytes)
{
    return replaceResolvedFileAtomically(resolve(path), bytes);
}

bool FileSystem::replaceResolvedFileAtomically(const QString& resolvedPath, const QByteArray& bytes)
{
    QSaveFile file(resolvedPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() renames even when its own final flush fails (a full disk), so flush and check first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool FileSystem::removeFile(const QString& path)
{
    const QString resolved = resolve(path);
    return QFile::remove(resolved) || !QFileInfo(resolved).isFile();
}

QList<QByteArray> FileSystem::readLines(const QString& path, bool* ok)
{
    QFile file(resolve(path));
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    if (!opened)
        return {};
    return splitLines(file.readAll());
}

QList<QByteArray> FileSystem::splitLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    if (text.isEmpty())
        return lines;
    lines = text.split('\n');
    if (text.endsWith('\n'))
        lines.removeLast(); // the final line end does not start another line
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}
