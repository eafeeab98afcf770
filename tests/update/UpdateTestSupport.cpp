#include "UpdateTestSupport.h"

#include "support/FakeHttpClient.h"
#include "update/UpdateSite.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

void RouteUpdateSite(FakeHttpClient& fake, HttpClient& client, quint16 port)
{
    fake.handler = [&client, port](const HttpRequest& request) {
        if (!request.url.startsWith(UpdateBaseUrl()))
            return FakeHttpClient::notConnected();
        HttpRequest routed = request;
        routed.url = QStringLiteral("http://127.0.0.1:%1/update/").arg(port) + request.url.mid(UpdateBaseUrl().size());
        return client.get(routed);
    };
}

std::map<QByteArray, LoopbackServer::Behaviour> PackSiteRoutes(const QString& packs)
{
    std::map<QByteArray, LoopbackServer::Behaviour> routes;
    for (const char* list : {"images.dat", "media.dat"})
        routes[QByteArray("/update/") + list] =
            LoopbackServer::reply(LoopbackServer::httpResponse(ReadBytes(packs + "/" + list)));
    for (const char* pack : {"Images", "Media"}) {
        const QByteArray prefix = "/update/\\" + QByteArray(pack).toLower() + "\\";
        for (const QString& name : QDir(packs + "/" + pack).entryList(QDir::Files))
            routes[prefix + name.toLatin1()] =
                LoopbackServer::reply(LoopbackServer::httpResponse(ReadBytes(packs + "/" + pack + "/" + name)));
    }
    return routes;
}

LoopbackServer::Behaviour NotFound()
{
    return LoopbackServer::reply(LoopbackServer::httpResponse("<html><body>Not Found</body></html>\r\n", 404));
}

std::function<HttpResponse(const HttpRequest&)> AnswerWithPackFiles(const QString& packs, const QByteArray& otherBody)
{
    const QByteArray picture = ReadBytes(packs + "/Images/clear.jpg");
    const QByteArray sound = ReadBytes(packs + "/Media/thunder.wav");
    return [=](const HttpRequest& request) {
        const QString name = request.url.mid(UpdateBaseUrl().size());
        if (name.startsWith("\\images\\"))
            return FakeHttpClient::reply(picture);
        return FakeHttpClient::reply(name.startsWith("\\media\\") ? sound : otherBody);
    };
}

QStringList TargetsAndAgents(const std::vector<QByteArray>& requests)
{
    QStringList seen;
    for (const QByteArray& request : requests) {
        const QList<QByteArray> lines = request.split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        QByteArray agent;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                agent = line.mid(11).trimmed();
        seen << QString::fromLatin1(QByteArray::fromPercentEncoding(requestLine.value(1)) + "|" + agent);
    }
    return seen;
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList EntriesUnder(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

QStringList ListedNames(const QString& listPath)
{
    QStringList names;
    for (const QByteArray& line : ReadBytes(listPath).split('\n'))
        if (const QByteArray name = line.trimmed(); !name.isEmpty())
            names << QString::fromLatin1(name);
    return names;
}
