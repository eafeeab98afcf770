#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto requestWait = 2s;
constexpr auto connectionLifetime = 20s;
constexpr auto closeWait = 1s;
constexpr int sliceMs = 50; // how often waits look at the stop flag

struct Wait {
    Clock::time_point deadline;
    const std::atomic<bool>& stopping;
    bool over() const { return stopping || Clock::now() >= deadline; }
};

sockaddr_in loopbackAddress(quint16 port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// True once the socket is ready for `events` (or broken, which the next call then reports).
bool waitFor(int fd, short events, const Wait& wait)
{
    while (!wait.over()) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, sliceMs);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
    return false;
}

bool pause(int milliseconds, const Wait& wait)
{
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!wait.over() && Clock::now() < end)
        std::this_thread::sleep_for(std::min<Clock::duration>(end - Clock::now(), 10ms));
    return !wait.over();
}

// False when the peer has gone, the server stops or the deadline passes.
bool sendAll(int fd, const char* data, qsizetype size, const Wait& wait)
{
    while (size > 0) {
        if (!waitFor(fd, POLLOUT, wait))
            return false;
        const ssize_t sent = send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0) {
            data += sent;
            size -= sent;
        }
    }
    return true;
}

bool sendAll(int fd, const QByteArray& bytes, const Wait& wait)
{
    return sendAll(fd, bytes.constData(), bytes.size(), wait);
}

// One read; false once the peer has closed or the connection broke.
bool receiveInto(int fd, QByteArray& into)
{
    char buffer[16384];
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got > 0)
        into.append(buffer, got);
    return got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR));
}

QByteArray readRequest(int fd, const Wait& connectionWait)
{
    const Wait wait{std::min(connectionWait.deadline, Clock::now() + requestWait), connectionWait.stopping};
    QByteArray request;
    while (!request.contains("\r\n\r\n") && request.size() < 65536) {
        if (!waitFor(fd, POLLIN, wait) || !receiveInto(fd, request))
            break;
    }
    return request;
}

void waitForPeerToLeave(int fd, const Wait& wait)
{
    QByteArray ignored;
    while (waitFor(fd, POLLIN, wait) && receiveInto(fd, ignored))
        ignored.clear();
}

void closeOrderly(int fd, const Wait& connectionWait)
{
    shutdown(fd, SHUT_WR);
    waitForPeerToLeave(fd, {std::min(connectionWait.deadline, Clock::now() + closeWait), connectionWait.stopping});
    close(fd);
}

// An RST would throw away bytes still queued for sending, so wait until the peer has them all.
void closeWithReset(int fd, const Wait& wait)
{
    int unsent = 0;
    while (ioctl(fd, SIOCOUTQ, &unsent) == 0 && unsent > 0 && pause(5, wait)) {
    }
    const linger abortive{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    close(fd);
}

// The target of a request line "METHOD target VERSION".
QByteArray requestTarget(const QByteArray& request)
{
    const qsizetype start = request.indexOf(' ');
    const qsizetype end = request.indexOf(' ', start + 1);
    return start < 0 || end < 0 ? QByteArray() : request.mid(start + 1, end - start - 1);
}

// "GET http://host:port/path HTTP/1.1" becomes "GET /path HTTP/1.1"; the rest stays as it is.
QByteArray toOriginForm(const QByteArray& request)
{
    const QByteArray target = requestTarget(request);
    const qsizetype scheme = target.indexOf("://");
    if (scheme < 0)
        return request;
    const qsizetype path = target.indexOf('/', scheme + 3);
    const qsizetype targetStart = request.indexOf(' ') + 1;
    return request.left(targetStart) + (path < 0 ? QByteArray("/") : target.mid(path)) +
           request.mid(targetStart + target.size());
}

int connectToLoopback(quint16 port)
{
    const int upstream = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopbackAddress(port);
    if (upstream >= 0 && connect(upstream, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(upstream);
        return -1;
    }
    return upstream;
}

// Passes bytes both ways until either side closes.
void relay(int client, int upstream, const Wait& wait)
{
    while (!wait.over()) {
        pollfd ends[] = {{client, POLLIN, 0}, {upstream, POLLIN, 0}};
        const int ready = poll(ends, 2, sliceMs);
        if (ready < 0 && errno != EINTR)
            return;
        for (int i = 0; i < 2; ++i) {
            if (ends[i].revents == 0)
                continue;
            QByteArray bytes;
            if (!receiveInto(ends[i].fd, bytes) || (ends[i].revents & (POLLHUP | POLLERR)) != 0) {
                if (!bytes.isEmpty())
                    sendAll(i == 0 ? upstream : client, bytes, wait);
                return;
            }
            if (!sendAll(i == 0 ? upstream : client, bytes, wait))
                return;
        }
    }
}

void forward(int client, const QByteArray& request, quint16 port, const Wait& wait)
{
    const int upstream = connectToLoopback(port);
    if (upstream < 0) {
        sendAll(client, LoopbackServer::httpResponse({}, 502), wait);
        return;
    }
    if (request.startsWith("CONNECT ")) {
        if (sendAll(client, "HTTP/1.1 200 Connection established\r\n\r\n", wait))
            relay(client, upstream, wait);
    } else if (sendAll(upstream, toOriginForm(request), wait)) {
        QByteArray relayed;
        while (waitFor(upstream, POLLIN, wait) && receiveInto(upstream, relayed)) {
            if (!sendAll(client, relayed, wait))
                break;
            relayed.clear();
        }
    }
    close(upstream);
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    default: return "Status";
    }
}

} // namespace

LoopbackServer::Behaviour LoopbackServer::reply(const QByteArray& bytes)
{
    Behaviour behaviour;
    behaviour.head = bytes;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::replyThenReset(const QByteArray& bytes)
{
    Behaviour behaviour = reply(bytes);
    behaviour.ending = Ending::Reset;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::replyThenSilence(const QByteArray& bytes)
{
    Behaviour behaviour = reply(bytes);
    behaviour.ending = Ending::Hold;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::trickle(const QByteArray& head, const QByteArray& tail, int delayMs)
{
    Behaviour behaviour = reply(head);
    behaviour.slowTail = tail;
    behaviour.slowDelayMs = delayMs;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::endless(const QByteArray& head)
{
    Behaviour behaviour = reply(head);
    behaviour.endless = true;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::answeringAfter(int ms, Behaviour behaviour)
{
    behaviour.answerAfterMs = ms;
    return behaviour;
}

LoopbackServer::Behaviour LoopbackServer::redirect(const QByteArray& location, int status)
{
    return reply(httpResponse({}, status, "Location: " + location + "\r\n"));
}

LoopbackServer::Behaviour LoopbackServer::forwardTo(quint16 port)
{
    Behaviour behaviour;
    behaviour.forwardToPort = port;
    return behaviour;
}

QByteArray LoopbackServer::httpResponse(const QByteArray& body, int status, const QByteArray& extraHeaders)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders +
           "\r\n" + body;
}

LoopbackServer::LoopbackServer(Behaviour fallback, quint16 port) : LoopbackServer({}, std::move(fallback), port) {}

LoopbackServer::LoopbackServer(std::map<QByteArray, Behaviour> routes, Behaviour fallback, quint16 port)
    : routes_(std::move(routes)), fallback_(std::move(fallback))
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int one = 1;
    const sockaddr_in address = loopbackAddress(port);
    if (listener_ < 0 || setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0) {
        const std::string why = std::strerror(errno);
        if (listener_ >= 0)
            close(listener_);
        throw std::runtime_error("LoopbackServer cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + why);
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread(&LoopbackServer::run, this);
}

LoopbackServer::~LoopbackServer()
{
    stopping_ = true;
    thread_.join();
    close(listener_);
}

QString LoopbackServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
}

std::vector<QByteArray> LoopbackServer::requests() const
{
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackServer::run()
{
    while (!stopping_) {
        pollfd entry{listener_, POLLIN, 0};
        if (poll(&entry, 1, sliceMs) <= 0)
            continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0)
            continue;
        ++connections_;
        serve(client);
    }
}

const LoopbackServer::Behaviour& LoopbackServer::behaviourFor(const QByteArray& request) const
{
    // As a web server does, the route is looked up with %XX escapes decoded: "/update/%5Cimages%5Ca.jpg"
    // is the route "/update/\\images\\a.jpg".
    const auto found = routes_.find(QByteArray::fromPercentEncoding(requestTarget(request)));
    return found == routes_.end() ? fallback_ : found->second;
}

void LoopbackServer::serve(int client)
{
    const Wait wait{Clock::now() + connectionLifetime, stopping_};
    const QByteArray request = readRequest(client, wait);
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const Behaviour& behaviour = behaviourFor(request);
    if (behaviour.forwardToPort != 0) {
        forward(client, request, behaviour.forwardToPort, wait);
        closeOrderly(client, wait);
        return;
    }

    bool peerListening = pause(behaviour.answerAfterMs, wait) && sendAll(client, behaviour.head, wait);
    for (qsizetype i = 0; peerListening && i < behaviour.slowTail.size(); ++i)
        peerListening = pause(behaviour.slowDelayMs, wait) && sendAll(client, behaviour.slowTail.mid(i, 1), wait);
    const QByteArray filler(16384, 'x');
    while (peerListening && behaviour.endless)
        peerListening = sendAll(client, filler, wait);

    switch (behaviour.ending) {
    case Ending::Close: closeOrderly(client, wait); break;
    case Ending::Reset: closeWithReset(client, wait); break;
    case Ending::Hold:
        waitForPeerToLeave(client, wait);
        close(client);
        break;
    }
}
