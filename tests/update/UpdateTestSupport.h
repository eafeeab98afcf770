#pragma once

#include "platform/HttpClient.h"
#include "support/LoopbackServer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>

class FakeHttpClient;
class HttpClient;

// Sends the program's update-site requests through `client` (the real one) to a server on loopback
// port `port`, as a hosts-file entry for the update host would; the fake still records each request
// under the URL the program built. Requests for any other address are not connected.
void RouteUpdateSite(FakeHttpClient& fake, HttpClient& client, quint16 port);

// An update site serving the pack folder `packs` (lists, Images, Media) at the targets the program
// asks for: "/update/images.dat", "/update/\images\clear.jpg", ...
std::map<QByteArray, LoopbackServer::Behaviour> PackSiteRoutes(const QString& packs);

// A reply the update site gives when it has no such file.
LoopbackServer::Behaviour NotFound();

// A fake site's answers: a real picture of `packs` to every "\images\" request, a real sound to every
// "\media\" one, and `otherBody` to anything else (the lists, "version.dat").
std::function<HttpResponse(const HttpRequest&)> AnswerWithPackFiles(const QString& packs, const QByteArray& otherBody);

// The request target and User-Agent of each raw request, as "target|agent", the target with its %XX
// escapes decoded as the site reads it ("/update/%5Cimages%5Ca.jpg" is "/update/\images\a.jpg").
QStringList TargetsAndAgents(const std::vector<QByteArray>& requests);

QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
// Every file and folder under `folder`, as paths relative to it, sorted.
QStringList EntriesUnder(const QString& folder);
// The lines of a list file as the pack check reads them, empty ones left out.
QStringList ListedNames(const QString& listPath);
