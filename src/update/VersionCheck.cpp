#include "update/VersionCheck.h"

#include "core/Version.h"
#include "platform/AppDir.h"
#include "platform/FileSystem.h"
#include "update/UpdateSite.h"

bool NewerVersionPublished(const QByteArray& running, const QByteArray& published)
{
    // QByteArray orders as memcmp does, by unsigned byte, the shorter of two equal runs first.
    return running < published;
}

bool IsVersionNumber(const QByteArray& text)
{
    // Runs of digits joined by single points: "1", "1.0", "1.0.1".
    bool digitBefore = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digitBefore = true;
        else if (c == '.' && digitBefore)
            digitBefore = false;
        else
            return false;
    }
    return digitBefore;
}

QString VersionCheckOutcome(const QByteArray& running, const QByteArray& publishedFirstLine)
{
    QByteArray published = publishedFirstLine;
    while (published.endsWith(' ') || published.endsWith('\t'))
        published.chop(1);
    // An empty reply, an error page or stray bytes say nothing about versions: answering "newest" or
    // "newer" from them would be a confident wrong answer.
    if (!IsVersionNumber(published))
        return VersionCheckFailedText();
    return NewerVersionPublished(running, published) ? QStringLiteral("A newer version is available.")
                                                     : QStringLiteral("Your version is newest available.");
}

QString VersionCheckFailedText()
{
    return QStringLiteral("Tolvane could not check for a newer version. Please try again later.");
}

QString RunVersionCheck()
{
    if (AppDir().isEmpty())
        return VersionCheckFailedText();
    const QByteArray running = ProgramFullVersionText().toLatin1();
    // An older copy must not answer for a check that reached nothing: that would claim "newest".
    if (!GetUpdateFile(QStringLiteral("version.dat")))
        return VersionCheckFailedText();
    const QString path = AppPath({"version.dat"});
    bool readable = false;
    const QList<QByteArray> lines =
        FileSystem::fileExists(path) ? FileSystem::readLines(path, &readable) : QList<QByteArray>();
    if (!readable)
        return VersionCheckFailedText();
    return VersionCheckOutcome(running, lines.isEmpty() ? QByteArray() : lines.first());
}
