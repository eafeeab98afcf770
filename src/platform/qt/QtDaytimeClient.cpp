#include "platform/qt/QtDaytimeClient.h"

#include "platform/qt/LocalWait.h"

#include <QNetworkProxyFactory>
#include <QTcpSocket>

#include <optional>

namespace {

// Direct, or the first proxy that the system's settings name for a TCP connection to the host that
// can tunnel one (an HTTP proxy is asked with CONNECT, so the host name is looked up by the proxy).
QNetworkProxy ProxyFor(const DaytimeRequest& request)
{
    if (request.proxy == ProxyMode::Direct)
        return QNetworkProxy::NoProxy;
    const QNetworkProxyQuery query(request.host, QtDaytimeClient::Port, {}, QNetworkProxyQuery::TcpSocket);
    for (QNetworkProxy proxy : QNetworkProxyFactory::systemProxyForQuery(query)) {
        if (proxy.type() == QNetworkProxy::NoProxy)
            return proxy;
        if (!proxy.capabilities().testFlag(QNetworkProxy::TunnelingCapability))
            continue;
        if (proxy.type() == QNetworkProxy::HttpProxy)
            proxy.setRawHeader("User-Agent", request.agent);
        return proxy;
    }
    return QNetworkProxy::NoProxy;
}

DaytimeError ErrorFor(QAbstractSocket::SocketError error, bool connected)
{
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        return connected ? DaytimeError::None : DaytimeError::Other; // the service's own end
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError: return DaytimeError::NoConnection;
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionRefusedError: return DaytimeError::Refused;
    case QAbstractSocket::NetworkError: // no route to the host
        return connected ? DaytimeError::Other : DaytimeError::NoConnection;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError: return DaytimeError::TimedOut;
    case QAbstractSocket::SocketAccessError:
    case QAbstractSocket::SocketResourceError:
    case QAbstractSocket::UnsupportedSocketOperationError:
        return connected ? DaytimeError::Other : DaytimeError::NoSocket;
    default: return DaytimeError::Other;
    }
}

} // namespace

bool DaytimeLineArrived(const QByteArray& bytes)
{
    qsizetype text = 0;
    while (text < bytes.size() && (bytes[text] == '\n' || bytes[text] == '\r'))
        ++text;
    return bytes.indexOf('\n', text) >= 0;
}

QtDaytimeClient::QtDaytimeClient(int boundMs) : boundMs_(boundMs) {}

DaytimeReply QtDaytimeClient::ask(const DaytimeRequest& request)
{
    DaytimeReply reply;
    const QDeadlineTimer deadline(boundMs_, Qt::PreciseTimer);
    LocalWait wait;
    std::optional<DaytimeError> ended;
    const auto end = [&](DaytimeError why) {
        if (!ended)
            ended = why;
        wait.finish();
    };
    QTcpSocket socket; // made after the state its handlers use, so that it is destroyed first
    socket.setProxy(ProxyFor(request));
    const auto takeBytes = [&] {
        const QByteArray bytes = socket.readAll();
        const qsizetype room = MaxReplyBytes - reply.bytes.size();
        reply.bytes.append(bytes.left(room));
        if (bytes.size() > room)
            end(DaytimeError::Other);
        else if (DaytimeLineArrived(reply.bytes))
            end(DaytimeError::None);
    };
    QObject::connect(&socket, &QTcpSocket::connected, [&] { reply.connected = true; });
    QObject::connect(&socket, &QTcpSocket::readyRead, takeBytes);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, [&](QAbstractSocket::SocketError error) {
        takeBytes(); // what came before a reset
        end(ErrorFor(error, reply.connected));
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { end(DaytimeError::None); });

    socket.connectToHost(request.host, Port, QIODevice::ReadOnly);
    if (!wait.wait(deadline) && !ended)
        ended = DaytimeError::TimedOut;
    // Done either way: the rest of what the service might send is not waited for.
    socket.abort();
    reply.error = *ended;
    return reply;
}
