#include "update/UpdateSite.h"

#include "BuildConfig.h"
#include "core/ProgramInfo.h"
#include "platform/AppDir.h"
#include "platform/FileSystem.h"
#include "platform/HttpClient.h"
#include "platform/Services.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStorageInfo>

namespace {

const QString picturePrefix = QStringLiteral("\\images\\");
const QString soundPrefix = QStringLiteral("\\media\\");
const QString packPrefixes[] = {picturePrefix, soundPrefix};

enum class UpdateFileKind { Refused, Text, Pack };

// The prefix of a pack name, or an empty text when the name has none.
QString PackPrefixOf(const QString& name)
{
    for (const QString& prefix : packPrefixes)
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            return prefix;
    return {};
}

UpdateFileKind KindOf(const QString& name)
{
    const QString prefix = PackPrefixOf(name);
    if (!prefix.isEmpty())
        return IsPlainFileName(name.mid(prefix.size())) ? UpdateFileKind::Pack : UpdateFileKind::Refused;
    return IsPlainFileName(name) ? UpdateFileKind::Text : UpdateFileKind::Refused;
}

// Only a 2xx reply that arrived whole is the file. Redirects have already been followed by the
// client, so any other status (or none: a reply without a status line) is an error page, a broken
// server or something that is not the update site, and must not be stored as a picture or a list.
bool IsWholeFile(const HttpResponse& response)
{
    return response.connected && response.complete && response.status >= 200 && response.status <= 299;
}

// A site that did not answer in time, or could not be reached at all, will not answer the next
// request either: asking on would cost a whole wait per file.
bool SiteUnreachable(const HttpResponse& response)
{
    return !response.connected || response.error == HttpError::TimedOut;
}

// A file must be what its name says: the update site comes over plain HTTP, and an error page or
// anything else stored as a list, a picture or a sound would be kept for ever.
bool IsWhatItsNameSays(const QString& name, const QByteArray& bytes)
{
    if (name.startsWith(picturePrefix, Qt::CaseInsensitive))
        return IsJpegPicture(bytes);
    if (name.startsWith(soundPrefix, Qt::CaseInsensitive))
        return IsWaveSound(bytes);
    if (name.compare("images.dat", Qt::CaseInsensitive) == 0 || name.compare("media.dat", Qt::CaseInsensitive) == 0)
        return IsPackList(FileSystem::splitLines(bytes));
    return true;
}

bool LeavesFreeSpace(const QString& destination, qint64 bytes, qint64 floor)
{
    const QStorageInfo disk(QFileInfo(destination).absolutePath());
    return disk.isValid() && disk.bytesAvailable() - bytes >= floor;
}

} // namespace

QString UpdateBaseUrl()
{
    return QStringLiteral("http://") + QString::fromLatin1(BuildConfig::UpdateHost) + QStringLiteral("/update/");
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"\\/<>:\"|?*").contains(c))
            return false;
    return true;
}

bool IsPackList(const QList<QByteArray>& lines)
{
    bool namesAFile = false;
    for (const QByteArray& line : lines) {
        if (line.contains('<') || line.contains('>'))
            return false;
        namesAFile = namesAFile || IsPlainFileName(QString::fromLatin1(line));
    }
    return namesAFile;
}

bool IsJpegPicture(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    // The format is told by the content, and the header must read as far as the picture's size.
    QImageReader reader(&buffer);
    return reader.format() == "jpeg" && reader.size().isValid();
}

bool IsWaveSound(const QByteArray& bytes)
{
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE";
}

UpdateBudget PackCheckBudget()
{
    return UpdateBudget{.deadline = QDeadlineTimer(PackCheckBudgetMs), .bytesLeft = PackCheckMaxBytes};
}

bool GetUpdateFile(const QString& name)
{
    const QString appDir = AppDir();
    const UpdateFileKind kind = KindOf(name);
    if (appDir.isEmpty() || kind == UpdateFileKind::Refused)
        return false;
    const QString folder = kind == UpdateFileKind::Pack ? appDir + PackPrefixOf(name) : appDir;
    if (!FileSystem::folderExists(folder))
        return false;
    UpdateBudget unbounded; // the client's own bounds apply
    return GetUpdateFile(name, unbounded, FileSystem::resolve(appDir + "\\" + name)) == UpdateFetch::Stored;
}

UpdateFetch GetUpdateFile(const QString& name, UpdateBudget& budget, const QString& destination)
{
    HttpClient* http = services().http;
    const UpdateFileKind kind = KindOf(name);
    if (!http || kind == UpdateFileKind::Refused || budget.spent() || destination.isEmpty() ||
        !QFileInfo(destination).dir().exists())
        return UpdateFetch::Failed;

    HttpRequest request{UpdateBaseUrl() + name, Program::LegacyAgent, ProxyMode::Direct};
    request.deadline = budget.deadline;
    const HttpResponse response = http->get(request);
    if (SiteUnreachable(response))
        budget.siteUnreachable = true;
    budget.bytesLeft -= response.body.size();
    if (budget.bytesLeft < 0 || !IsWholeFile(response))
        return UpdateFetch::Failed;
    if (!IsWhatItsNameSays(name, response.body))
        return UpdateFetch::NotWhatItSays;
    QByteArray content = response.body;
    if (kind == UpdateFileKind::Text)
        content += "\r\n";
    const bool stored = LeavesFreeSpace(destination, content.size(), budget.freeSpaceFloor) &&
                        FileSystem::replaceResolvedFileAtomically(destination, content);
    return stored ? UpdateFetch::Stored : UpdateFetch::Failed;
}
