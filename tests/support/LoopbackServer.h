#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// A scripted TCP server on 127.0.0.1 for tests, running on its own thread until destroyed.
//
// It serves one connection at a time: it reads the request (up to the blank line that ends the
// headers, the peer closing, or 2 s), records those raw bytes, and then plays the Behaviour
// chosen for the request target (the second word of the request line, %XX escapes decoded), or
// the fallback one.
// Nothing a connection does outlasts 20 s or the server itself, so a client under test that
// misbehaves cannot hang the test run for long.
//
//     LoopbackServer server(LoopbackServer::reply(LoopbackServer::httpResponse("hello")));
//     http.get({server.url("/update/version.dat"), "vb wininet", ProxyMode::Direct});
//     server.requests(); // {"GET /update/version.dat HTTP/1.1\r\nHost: ...\r\n\r\n"}
class LoopbackServer final {
public:
    enum class Ending {
        Close, // an orderly close (FIN)
        Reset, // an abortive close (RST, SO_LINGER 0) once the peer has everything sent
        Hold,  // keep the connection open, silent, until the peer hangs up
    };

    struct Behaviour {
        int answerAfterMs = 0; // pause between reading the request and answering
        QByteArray head;       // then sent at once
        QByteArray slowTail;   // then sent one byte at a time, `slowDelayMs` apart
        int slowDelayMs = 0;
        bool endless = false; // then 'x' bytes without end, until the peer hangs up
        Ending ending = Ending::Close;
        quint16 forwardToPort = 0; // non-zero: act as a forward proxy instead (see forwardTo)
    };

    // Sends the bytes, then closes.
    static Behaviour reply(const QByteArray& bytes);
    // Sends the bytes, then resets the connection.
    static Behaviour replyThenReset(const QByteArray& bytes);
    // Sends the bytes (maybe none), then stays silent with the connection open.
    static Behaviour replyThenSilence(const QByteArray& bytes);
    // Sends `head` at once and `tail` one byte every `delayMs`, then closes.
    static Behaviour trickle(const QByteArray& head, const QByteArray& tail, int delayMs);
    // Sends `head`, then a body that never ends.
    static Behaviour endless(const QByteArray& head);
    // The same behaviour, answering `ms` after the request was read, as a server across a network
    // would; a reply that is already there when the client has just sent its request is a case of
    // its own for some clients.
    static Behaviour answeringAfter(int ms, Behaviour behaviour);
    // A redirect reply pointing at `location`.
    static Behaviour redirect(const QByteArray& location, int status = 302);
    // A forward proxy: takes the absolute-form request "GET http://host:port/path HTTP/1.1",
    // whatever its host, to 127.0.0.1:`port` as "GET /path HTTP/1.1" with the same headers,
    // and relays the reply back until that server closes. A tunnel request "CONNECT host:port
    // HTTP/1.1" is answered 200 and joined to 127.0.0.1:`port` both ways until either side
    // closes. Either way an unreachable `port` gets a 502 reply.
    static Behaviour forwardTo(quint16 port);

    // A whole HTTP/1.1 reply: status line, Content-Length, "Connection: close", any
    // `extraHeaders` (each ending in CR LF), a blank line and the body.
    static QByteArray httpResponse(const QByteArray& body, int status = 200, const QByteArray& extraHeaders = {});

    // Listens on 127.0.0.1:`port` (0: a free port). Throws std::runtime_error if it cannot.
    explicit LoopbackServer(Behaviour fallback, quint16 port = 0);
    // Plays routes[target] for a request with that target and `fallback` for any other.
    LoopbackServer(std::map<QByteArray, Behaviour> routes, Behaviour fallback, quint16 port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    quint16 port() const { return port_; }
    // "http://127.0.0.1:" + port + path.
    QString url(const QString& path = QStringLiteral("/")) const;
    // The raw bytes read from each connection before answering, in order.
    std::vector<QByteArray> requests() const;
    // Connections accepted so far (a connection that sent nothing counts too).
    int connectionCount() const { return connections_; }

private:
    void run();
    void serve(int client);
    const Behaviour& behaviourFor(const QByteArray& request) const;

    std::map<QByteArray, Behaviour> routes_;
    Behaviour fallback_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<QByteArray> requests_;
    std::thread thread_;
};
