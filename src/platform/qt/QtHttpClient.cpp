#include "platform/qt/QtHttpClient.h"

#include "platform/qt/LocalWait.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <optional>

namespace {

// The program's URLs are single-byte text: each byte above 0x7F (and each control byte) becomes one
// %XX escape, not the two bytes of its UTF-8 form. QUrl escapes the rest of what a path may not hold.
QUrl UrlFromSingleByteText(const QString& text)
{
    QByteArray encoded;
    for (const char c : text.toLatin1()) {
        const auto byte = uchar(c);
        if (byte < 0x20 || byte >= 0x7F) {
            encoded += '%';
            encoded += QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
        } else {
            encoded += c;
        }
    }
    return QUrl::fromEncoded(encoded, QUrl::TolerantMode);
}

bool IsHttpUrl(const QUrl& url)
{
    return url.isValid() && !url.host().isEmpty() && (url.scheme() == "http" || url.scheme() == "https");
}

// Asks the system's proxy settings for each URL of the exchange, redirects included.
class SystemProxies final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override { return systemProxyForQuery(query); }
};

// QNetworkReply reports an HTTP error status (404, 500, ...) as an error of its own, although the
// reply arrived whole; those are told apart from transfers that broke.
bool IsStatusError(QNetworkReply::NetworkError error, int status)
{
    if (status < 400)
        return false;
    return error == QNetworkReply::ProtocolInvalidOperationError ||
           error == QNetworkReply::ProxyAuthenticationRequiredError ||
           (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
           (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

HttpError ErrorFor(QNetworkReply::NetworkError error, bool connected)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError: return HttpError::NoConnection;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::ProxyConnectionRefusedError: return HttpError::Refused;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError: return HttpError::TimedOut;
    case QNetworkReply::UnknownNetworkError:
        // What a connect to an unreachable network or host ends with.
        return connected ? HttpError::Other : HttpError::NoConnection;
    default: return HttpError::Other;
    }
}

// Qt can end a reply whose connection closed early as if it were whole; a body shorter than its
// Content-Length is not. (Qt drops that header when it decompresses the body itself.)
bool IsShortOfDeclaredLength(const QNetworkReply& reply, qint64 received)
{
    const QVariant declared = reply.header(QNetworkRequest::ContentLengthHeader);
    return declared.isValid() && received < declared.toLongLong();
}

int StatusOf(const QNetworkReply& reply, int otherwise)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() ? status.toInt() : otherwise;
}

} // namespace

QtHttpClient::QtHttpClient(HttpLimits limits) : limits_(limits) {}

HttpResponse QtHttpClient::get(const HttpRequest& request)
{
    HttpResponse response;
    response.sessionOpened = true;
    const QUrl url = UrlFromSingleByteText(request.url);
    if (!IsHttpUrl(url))
        return response;
    QDeadlineTimer deadline = request.deadline;
    if (limits_.totalTimeoutMs > 0)
        deadline = std::min(deadline, QDeadlineTimer(limits_.totalTimeoutMs, Qt::PreciseTimer));
    if (deadline.hasExpired()) {
        response.error = HttpError::TimedOut;
        return response;
    }

    QNetworkAccessManager manager;
    if (request.proxy == ProxyMode::Direct)
        manager.setProxy(QNetworkProxy::NoProxy);
    else
        manager.setProxyFactory(new SystemProxies); // the manager owns it
    QNetworkRequest networkRequest(url);
    networkRequest.setRawHeader("User-Agent", request.agent);
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    // http may lead on to https, never back, and never to another scheme.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    networkRequest.setMaximumRedirectsAllowed(MaxRedirects);

    LocalWait wait;
    std::optional<HttpError> gaveUp; // why the client itself ended the exchange
    QTimer connectTimer;
    QTimer stallTimer;
    for (QTimer* timer : {&connectTimer, &stallTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    // Made after the state its handlers use, so that it is destroyed first.
    const std::unique_ptr<QNetworkReply> reply(manager.get(networkRequest));
    const auto giveUp = [&](HttpError why) {
        if (gaveUp)
            return;
        gaveUp = why;
        reply->abort();
        wait.finish();
    };
    const auto restartStallTimer = [&] {
        if (limits_.stallTimeoutMs > 0 && !gaveUp)
            stallTimer.start(limits_.stallTimeoutMs);
    };
    const auto startConnectTimer = [&] {
        if (limits_.connectTimeoutMs > 0)
            connectTimer.start(limits_.connectTimeoutMs);
    };
    const auto takeBytes = [&] {
        const QByteArray bytes = reply->readAll();
        const qint64 room = limits_.maxBodyBytes - response.body.size();
        response.body.append(bytes.left(room));
        if (bytes.size() > room)
            giveUp(HttpError::TooLarge);
    };
    QObject::connect(&connectTimer, &QTimer::timeout, [&] { giveUp(HttpError::TimedOut); });
    QObject::connect(&stallTimer, &QTimer::timeout, [&] { giveUp(HttpError::TimedOut); });
    QObject::connect(reply.get(), &QNetworkReply::requestSent, [&] {
        response.connected = true;
        connectTimer.stop();
        restartStallTimer();
    });
    QObject::connect(reply.get(), &QNetworkReply::redirected, [&] {
        // The next hop may need a connection of its own; whether the server was reached is
        // decided by the last hop.
        response.status = StatusOf(*reply, response.status);
        response.connected = false;
        stallTimer.stop();
        startConnectTimer();
    });
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, [&] {
        response.status = StatusOf(*reply, response.status);
        restartStallTimer();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, [&] {
        if (gaveUp)
            return;
        takeBytes();
        restartStallTimer();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, [&] { wait.finish(); });

    startConnectTimer();
    if (!wait.wait(deadline))
        giveUp(HttpError::TimedOut);
    if (!gaveUp)
        takeBytes();
    response.status = StatusOf(*reply, response.status);
    if (gaveUp) {
        response.error = *gaveUp;
    } else if (IsShortOfDeclaredLength(*reply, response.body.size())) {
        response.error = HttpError::Other;
    } else if (reply->error() == QNetworkReply::NoError || IsStatusError(reply->error(), response.status)) {
        response.complete = true;
        response.error = response.status == 404 || response.status == 410 ? HttpError::NotFound : HttpError::None;
    } else {
        response.error = ErrorFor(reply->error(), response.connected);
    }
    return response;
}
