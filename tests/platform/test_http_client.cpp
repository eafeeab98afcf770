#include "platform/qt/QtHttpClient.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Server = LoopbackServer;

const QByteArray daytimeLine = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n";

// Small bounds so that the tests of misbehaving servers stay quick.
constexpr HttpLimits tightLimits{
    .connectTimeoutMs = 500, .totalTimeoutMs = 800, .stallTimeoutMs = 0, .maxBodyBytes = 64 * 1024};

HttpRequest request(const QString& url, ProxyMode proxy = ProxyMode::Direct)
{
    return {url, "vb wininet", proxy};
}

// A guard against hangs, not a speed test: every call here must come back well within 10 s. Cases
// whose total bound is longer than that show with it that another bound ended the exchange.
HttpResponse fetch(const HttpRequest& request, HttpLimits limits = {})
{
    QtHttpClient client(limits);
    const auto start = std::chrono::steady_clock::now();
    HttpResponse response = client.get(request);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "the GET hung";
    return response;
}

// Whether this process has mapped a TLS library or Qt's TLS backend.
bool tlsLoaded()
{
    QFile maps("/proc/self/maps");
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    const QByteArray mapped = maps.readAll();
    return mapped.contains("libssl") || mapped.contains("/tls/libq");
}

QByteArray sampleBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 13) % 256); // every byte value, NUL, CR and LF included
    return bytes;
}

QByteArray headers(const QByteArray& lines)
{
    return "HTTP/1.1 200 OK\r\n" + lines + "Connection: close\r\n\r\n";
}

QByteArray chunked(const QByteArray& body)
{
    QByteArray out;
    for (qsizetype at = 0; at < body.size(); at += 300) {
        const QByteArray chunk = body.mid(at, 300);
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return out + "0\r\n\r\n";
}

// Sets (or with nullopt removes) an environment variable for one scope.
class ScopedEnv final {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value)
        : name_(name), old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        apply(value);
    }
    ~ScopedEnv() { apply(old_); }

private:
    void apply(const std::optional<QByteArray>& value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char* name_;
    std::optional<QByteArray> old_;
};

// A loopback port that refuses connections: bound, never listening, held for the test's length.
class RefusingPort final {
public:
    RefusingPort() : fd_(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { close(fd_); }
    quint16 port() const { return port_; }

private:
    int fd_;
    quint16 port_ = 0;
};

// A loopback port whose connections never complete: its accept queue is full, so the kernel
// drops further SYNs, as a black-holed host would.
class UnansweringPort final {
public:
    UnansweringPort() : listener_(socket(AF_INET, SOCK_STREAM, 0)), filler_(socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 0);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        connected_ = connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~UnansweringPort()
    {
        close(filler_);
        close(listener_);
    }
    quint16 port() const { return port_; }
    bool ready() const { return connected_; }

private:
    int listener_;
    int filler_;
    quint16 port_ = 0;
    bool connected_ = false;
};

// An https server on loopback (openssl s_server -www) with a certificate of its own making, which
// no system trusts.
class SelfSignedHttpsServer final {
public:
    SelfSignedHttpsServer()
    {
        const QString key = dir_.filePath("key.pem");
        const QString certificate = dir_.filePath("certificate.pem");
        if (QProcess::execute("openssl",
                              {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                               "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", certificate}) != 0)
            return;
        port_ = RefusingPort().port(); // free a moment ago
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start("openssl", {"s_server", "-quiet", "-www", "-accept", QStringLiteral("127.0.0.1:%1").arg(port_),
                                  "-cert", certificate, "-key", key});
        for (int i = 0; i < 100 && !ready_; ++i) {
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", port_);
            ready_ = probe.waitForConnected(100);
            if (!ready_)
                std::this_thread::sleep_for(50ms);
        }
    }
    ~SelfSignedHttpsServer()
    {
        server_.kill();
        server_.waitForFinished();
    }
    bool ready() const { return ready_; }
    QString url() const { return QStringLiteral("https://127.0.0.1:%1/").arg(port_); }

private:
    QTemporaryDir dir_;
    QProcess server_;
    quint16 port_ = 0;
    bool ready_ = false;
};

// --- Bodies arrive byte for byte, however the server frames them ---

TEST(QtHttpClient, BodyArrivesWholeAndExactHoweverItIsFramed)
{
    const QByteArray bodies[] = {{}, "1.0.1\n", sampleBytes(512), sampleBytes(1000), sampleBytes(1024 * 1024)};
    for (const QByteArray& body : bodies) {
        const std::pair<const char*, QByteArray> framings[] = {
            {"Content-Length", Server::httpResponse(body)},
            {"close-delimited", headers({}) + body},
            {"chunked", headers("Transfer-Encoding: chunked\r\n") + chunked(body)},
        };
        for (const auto& [framing, reply] : framings) {
            SCOPED_TRACE(testing::Message() << body.size() << " bytes, " << framing);
            Server server(Server::reply(reply));

            const HttpResponse response = fetch(request(server.url("/data/current_obs/KXYZ.xml")));

            EXPECT_TRUE(response.sessionOpened);
            EXPECT_TRUE(response.connected);
            EXPECT_EQ(response.status, 200);
            EXPECT_TRUE(response.complete);
            EXPECT_EQ(response.body.size(), body.size());
            EXPECT_EQ(response.body, body);
        }
    }
}

// --- What goes on the wire ---

TEST(QtHttpClient, SendsThePathAsGivenEscapingWhatHttpDoesNotAllow)
{
    struct Case {
        QString path;
        QByteArray onTheWire;
    };
    const Case cases[] = {
        {"/data/current_obs/KXYZ.xml", "/data/current_obs/KXYZ.xml"},
        {"/data/current_obs/.xml", "/data/current_obs/.xml"},
        {"/data/current_obs/..%2F..xml", "/data/current_obs/..%2F..xml"}, // an escaped code stays one name
        // Backslashes may not stand in a path; the update site decodes them back.
        {"/update/\\images\\a.jpg", "/update/%5Cimages%5Ca.jpg"},
        {"/update/\\images\\a b.jpg", "/update/%5Cimages%5Ca%20b.jpg"},
        // A single-byte name keeps its one byte, escaped; not two UTF-8 bytes.
        {"/update/\\images\\caf" + QString(QChar(0xE9)) + ".jpg", "/update/%5Cimages%5Ccaf%E9.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Server server(Server::reply(Server::httpResponse("x")));

        const HttpResponse response = fetch(request(server.url(c.path)));

        EXPECT_TRUE(response.complete);
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_TRUE(server.requests()[0].startsWith("GET " + c.onTheWire + " HTTP/1.1\r\n"))
            << server.requests()[0].constData();
    }

    // Dot segments are resolved on the way out (QUrl's rule), and never climb above the folder.
    Server server(Server::reply(Server::httpResponse("x")));
    fetch(request(server.url("/update/./x/../y")));
    ASSERT_EQ(server.requests().size(), 1u);
    const QByteArray requestLine = server.requests()[0].left(server.requests()[0].indexOf("\r\n"));
    EXPECT_TRUE(requestLine.startsWith("GET /update/")) << requestLine.constData();
    EXPECT_FALSE(requestLine.contains("/./") || requestLine.contains("/../")) << requestLine.constData();
}

TEST(QtHttpClient, SendsTheAgentAndTheGivenHeadersOnce)
{
    Server server(Server::reply(Server::httpResponse("{}")));

    HttpRequest withAccept = request(server.url("/stations/KXYZ/observations/latest"));
    withAccept.headers = {{"Accept", "application/geo+json"}, {"X-Trace", "a b"}};
    const HttpResponse response = fetch(withAccept);

    EXPECT_TRUE(response.complete);
    ASSERT_EQ(server.requests().size(), 1u);
    const QByteArray sent = server.requests()[0];
    EXPECT_TRUE(sent.contains("\r\nAccept: application/geo+json\r\n")) << sent.constData();
    EXPECT_EQ(sent.count("\r\nAccept:"), 1) << sent.constData();
    EXPECT_TRUE(sent.contains("\r\nX-Trace: a b\r\n")) << sent.constData();
    EXPECT_TRUE(sent.contains("\r\nUser-Agent: vb wininet\r\n")) << sent.constData();
    EXPECT_EQ(sent.count("User-Agent:"), 1) << sent.constData();
}

// Plain http needs no TLS: the TLS backend and its libraries stay unloaded, so a start-up that
// fetches only over http does not pay for them.
TEST(QtHttpClient, PlainHttpLoadsNoTls)
{
    if (tlsLoaded())
        GTEST_SKIP() << "an earlier test of this process loaded TLS";
    Server server(Server::reply(Server::httpResponse("x")));
    EXPECT_TRUE(fetch(request(server.url())).complete);
    EXPECT_TRUE(fetch(request(server.url(), ProxyMode::System)).complete);
    EXPECT_FALSE(tlsLoaded());
}

TEST(QtHttpClient, DeliversErrorRepliesLikeAnyOther)
{
    struct Case {
        int status;
        HttpError error;
    };
    for (const Case c : {Case{200, HttpError::None}, Case{404, HttpError::NotFound}, Case{410, HttpError::NotFound},
                         Case{500, HttpError::None}}) {
        SCOPED_TRACE(c.status);
        const QByteArray page = "<html>page for " + QByteArray::number(c.status) + "</html>";
        Server server(Server::reply(Server::httpResponse(page, c.status)));

        const HttpResponse response = fetch(request(server.url("/data/current_obs/NONE.xml")));

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_EQ(response.body, page);
        EXPECT_TRUE(response.complete);
        EXPECT_EQ(response.error, c.error);
    }
}

// --- Broken and misbehaving transfers: what arrived is kept, and nothing waits for long ---

// A reply without a status line is not HTTP (the daytime service has a client of its own); one that
// broke off keeps the part of the body that came.
TEST(QtHttpClient, BrokenRepliesAreRefusedKeepingWhatArrived)
{
    const QByteArray body = sampleBytes(1000);
    const QByteArray head = headers("Content-Length: 1000\r\n");
    const QByteArray chunkedStart = headers("Transfer-Encoding: chunked\r\n") + chunked(body).left(450);
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
        int status; // 0: no status line, and then no body either
    };
    // Qt 6.4 can take a chunked reply that breaks off for whole when all of it was already waiting
    // as the request went out; across a network a reply comes a round trip later, and so it does
    // from these servers. A body shorter than its Content-Length is caught either way.
    const Case cases[] = {
        {"daytime line, closed", Server::reply(daytimeLine), 0},
        {"daytime line, reset", Server::replyThenReset(daytimeLine), 0},
        {"bare version text", Server::reply("1.0.9\r\n"), 0},
        {"endless bytes", Server::endless({}), 0},
        {"closed without a word", Server::reply({}), 0},
        {"reset mid-body", Server::replyThenReset(head + body.left(400)), 200},
        {"closed short of Content-Length", Server::reply(head + body.left(400)), 200},
        {"reset mid-body, after a moment", Server::answeringAfter(30, Server::replyThenReset(head + body.left(400))),
         200},
        {"reset in the second chunk", Server::answeringAfter(30, Server::replyThenReset(chunkedStart)), 200},
        {"closed in the second chunk", Server::answeringAfter(30, Server::reply(chunkedStart)), 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        const HttpResponse response = fetch(request(server.url("/update/\\images\\a.jpg")), tightLimits);

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_FALSE(response.complete);
        EXPECT_EQ(response.error, HttpError::Other);
        EXPECT_EQ(response.body.isEmpty(), c.status == 0);
        EXPECT_LT(response.body.size(), body.size());
        EXPECT_TRUE(body.startsWith(response.body));
    }
}

// A server that goes quiet costs the stall bound ("no byte for N s"), not the total one (20 s, beyond
// the 10 s hang guard); one that trickles is cut at the total bound or the caller's deadline,
// whichever comes first. What came is delivered, and a body whose end is known ends the exchange the
// moment it is complete.
TEST(QtHttpClient, QuietAndTricklingServersAreCutOffKeepingWhatCame)
{
    const QByteArray body = sampleBytes(1000); // 50 s at the trickle's pace
    const QByteArray chunkedHead = headers("Transfer-Encoding: chunked\r\n");
    const HttpLimits stallOnly{
        .connectTimeoutMs = 500, .totalTimeoutMs = 20'000, .stallTimeoutMs = 1'000, .maxBodyBytes = 64 * 1024};
    HttpLimits totalWithStall = stallOnly;
    totalWithStall.totalTimeoutMs = 1'500;
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
        HttpLimits limits;
        int status;
        bool complete;
        qsizetype received;  // bytes of `body` delivered; -1: some
        int deadlineMs = -1; // the caller's; -1: none
    };
    const auto quiet = [](const QByteArray& sent) { return Server::replyThenSilence(sent); };
    const Case cases[] = {
        {"silent before any reply, total time-out", quiet({}), tightLimits, 0, false, 0},
        {"silent before any reply, stall time-out", quiet({}), stallOnly, 0, false, 0},
        {"trickling faster than the stall bound", Server::trickle(headers({}), body, 50), totalWithStall, 200, false,
         -1},
        // 30 s in all and 10 s without a byte by default; the caller gives it 600 ms.
        {"trickling, the caller's deadline first", Server::trickle(headers({}), body, 50), {}, 200, false, -1, 600},
        {"whole body with Content-Length", quiet(Server::httpResponse(body)), stallOnly, 200, true, 1000},
        {"whole body, chunked", quiet(chunkedHead + chunked(body)), stallOnly, 200, true, 1000},
        {"whole body, its end left to a close that never comes", quiet(headers({}) + body), stallOnly, 200, false,
         1000},
        {"quiet mid-body with Content-Length", quiet(headers("Content-Length: 1000\r\n") + body.left(400)), stallOnly,
         200, false, 400},
        {"quiet mid-body, its end left to the close", quiet(headers({}) + body.left(400)), stallOnly, 200, false, 400},
        {"quiet in the second chunk", quiet(chunkedHead + chunked(body).left(450)), stallOnly, 200, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        HttpRequest get = request(server.url());
        if (c.deadlineMs >= 0)
            get.deadline = QDeadlineTimer(c.deadlineMs);

        const HttpResponse response = fetch(get, c.limits);

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_EQ(response.complete, c.complete);
        EXPECT_EQ(response.error, c.complete ? HttpError::None : HttpError::TimedOut);
        if (c.received >= 0) {
            EXPECT_EQ(response.body, body.left(c.received));
        } else {
            EXPECT_GT(response.body.size(), 0);
        }
        EXPECT_TRUE(body.startsWith(response.body));
    }
}

// A caller whose time is already spent asks nothing.
TEST(QtHttpClient, SpentDeadlineAsksNothing)
{
    Server untouched(Server::reply(Server::httpResponse("x")));
    HttpRequest late = request(untouched.url());
    late.deadline = QDeadlineTimer(0);
    const HttpResponse none = fetch(late);
    EXPECT_FALSE(none.connected);
    EXPECT_EQ(none.error, HttpError::TimedOut);
    EXPECT_EQ(untouched.connectionCount(), 0);
}

// The size limit is the most a body may hold: a longer one, endless ones too, is cut there.
TEST(QtHttpClient, BodiesAreCutAtTheSizeLimit)
{
    const qint64 limit = tightLimits.maxBodyBytes;
    const QByteArray over = sampleBytes(int(limit + 1));
    const QByteArray endless(limit, 'x');
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
        QByteArray body;
        bool complete;
    };
    const Case cases[] = {
        {"one byte short", Server::reply(Server::httpResponse(over.left(limit - 1))), over.left(limit - 1), true},
        {"exactly the limit", Server::reply(Server::httpResponse(over.left(limit))), over.left(limit), true},
        {"one byte over", Server::reply(Server::httpResponse(over)), over.left(limit), false},
        {"endless, its end left to the close", Server::endless(headers({})), endless, false},
        {"endless under a huge Content-Length", Server::endless(headers("Content-Length: 999999999\r\n")), endless,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        const HttpResponse response = fetch(request(server.url()), tightLimits);

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.complete, c.complete);
        EXPECT_EQ(response.error, c.complete ? HttpError::None : HttpError::TooLarge);
        EXPECT_EQ(response.body, c.body);
    }
}

// --- No connection ---

TEST(QtHttpClient, ReportsNoConnectionWhenNoServerWasReached)
{
    const RefusingPort refusing;
    const UnansweringPort unanswering;
    ASSERT_TRUE(unanswering.ready());
    Server wrongProtocol(Server::reply(Server::httpResponse("x")));
    Server redirecting(Server::redirect(QStringLiteral("http://127.0.0.1:%1/").arg(refusing.port()).toLatin1()));
    struct Case {
        const char* name;
        QString url;
        HttpError error;
        int status = 0;                   // of the last reply received
        bool needsPrivateNetwork = false; // looks a name up, or tries a route to the outside
    };
    const Case cases[] = {
        {"refused port", QStringLiteral("http://127.0.0.1:%1/").arg(refusing.port()), HttpError::Refused},
        {"connect never answered", QStringLiteral("http://127.0.0.1:%1/").arg(unanswering.port()), HttpError::TimedOut},
        {"no host", "http://:13/", HttpError::Other},
        {"empty URL", "", HttpError::Other},
        {"space in the URL", QStringLiteral("http://127.0.0.1:%1/a b.jpg").arg(refusing.port()), HttpError::Refused},
        {"not http", QStringLiteral("ftp://127.0.0.1:%1/").arg(wrongProtocol.port()), HttpError::Other},
        {"redirected to a refused port", redirecting.url(), HttpError::Refused, 302},
        {"unknown host", "http://no-such-host.tolvane.test/", HttpError::NoConnection, 0, true},
        {"no route to the host", "http://192.0.2.1/", HttpError::NoConnection, 0, true},
    };
    HttpLimits connectOnly = tightLimits;
    connectOnly.totalTimeoutMs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsPrivateNetwork && !TestEnvironment::inPrivateNetwork()) {
            ADD_FAILURE() << "needs a private network namespace: run through ctest (tests/e2e/in_sandbox.sh)";
            continue;
        }

        const HttpResponse response = fetch(request(c.url), connectOnly);

        EXPECT_TRUE(response.sessionOpened);
        EXPECT_FALSE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_TRUE(response.body.isEmpty());
        EXPECT_FALSE(response.complete);
        EXPECT_EQ(response.error, c.error);
    }
    EXPECT_EQ(wrongProtocol.connectionCount(), 0);
}

// --- Redirects ---

TEST(QtHttpClient, FollowsRedirectsToOtherServersAndPaths)
{
    Server target(Server::reply(Server::httpResponse("moved here")));
    for (const int status : {301, 302, 307}) {
        SCOPED_TRACE(status);
        const QByteArray elsewhere = target.url("/new/place.xml").toLatin1();
        Server origin({{"/same", Server::redirect("/local", status)}, {"/local", Server::redirect(elsewhere, status)}},
                      Server::reply(Server::httpResponse("wrong", 404)));

        const HttpResponse response = fetch(request(origin.url("/same")));

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, 200);
        EXPECT_EQ(response.body, "moved here");
        EXPECT_TRUE(response.complete);
        EXPECT_TRUE(target.requests().back().startsWith("GET /new/place.xml HTTP/1.1\r\n"));
    }
}

TEST(QtHttpClient, RedirectLoopEnds)
{
    Server looping(Server::redirect("/again"));

    const HttpResponse response = fetch(request(looping.url("/again")));

    EXPECT_FALSE(response.complete);
    EXPECT_EQ(response.error, HttpError::Other);
    EXPECT_LT(looping.connectionCount(), 20);
}

TEST(QtHttpClient, RedirectToAnotherProtocolIsRefused)
{
    Server ftp(Server::reply("220 ready\r\n"));
    Server origin(Server::redirect(QStringLiteral("ftp://127.0.0.1:%1/x").arg(ftp.port()).toLatin1()));

    const HttpResponse response = fetch(request(origin.url()), tightLimits);

    EXPECT_FALSE(response.complete);
    EXPECT_TRUE(response.body.isEmpty());
    EXPECT_EQ(ftp.connectionCount(), 0);
}

// http may lead on to https (the client then speaks TLS there), never the other way.
TEST(QtHttpClient, RedirectFromHttpToHttpsIsFollowed)
{
    Server https(Server::replyThenSilence({}));
    Server origin(Server::redirect(QStringLiteral("https://127.0.0.1:%1/x").arg(https.port()).toLatin1()));

    const HttpResponse response = fetch(request(origin.url()), tightLimits);

    EXPECT_FALSE(response.complete);
    EXPECT_EQ(response.status, 302);
    for (int i = 0; i < 60 && https.requests().empty(); ++i)
        std::this_thread::sleep_for(50ms);
    ASSERT_EQ(https.requests().size(), 1u) << "the redirect to https was not followed";
    EXPECT_TRUE(https.requests()[0].startsWith("\x16\x03")) << "no TLS handshake began";
}

// TLS is verified against the system's certificates: a server whose certificate nobody vouches for
// gets no request.
TEST(QtHttpClient, HttpsServerNobodyVouchesForIsRefused)
{
    SelfSignedHttpsServer server;
    ASSERT_TRUE(server.ready()) << "openssl s_server did not start";

    const HttpResponse response = fetch(request(server.url()));

    EXPECT_FALSE(response.connected);
    EXPECT_FALSE(response.complete);
    EXPECT_EQ(response.status, 0);
    EXPECT_TRUE(response.body.isEmpty());
    EXPECT_EQ(response.error, HttpError::Other);
}

// --- Proxies: Direct never uses one, System uses the one the system's proxy settings name ---

// Through a proxy the client never looks the host up itself, so a server known only to the proxy
// answers.
TEST(QtHttpClient, DirectIgnoresTheProxyAndSystemUsesIt)
{
    struct Case {
        const char* variable;
        ProxyMode mode;
        bool proxied;
    };
    const Case cases[] = {
        {"http_proxy", ProxyMode::Direct, false},
        {"all_proxy", ProxyMode::Direct, false},
        {"ALL_PROXY", ProxyMode::Direct, false},
        {"HTTP_PROXY", ProxyMode::Direct, false},
        {"http_proxy", ProxyMode::System, true},
        {"HTTP_PROXY", ProxyMode::System, true},
        // libproxy reads no all_proxy for http URLs.
        {"all_proxy", ProxyMode::System, false},
    };
    const QString path = "/data/current_obs/KXYZ.xml";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + (c.mode == ProxyMode::Direct ? " Direct" : " System"));
        Server origin(Server::reply(Server::httpResponse("observation")));
        Server proxy(Server::forwardTo(origin.port()));
        const ScopedEnv clearedNoProxy("no_proxy", std::nullopt);
        const ScopedEnv clearedNoProxyUpper("NO_PROXY", std::nullopt);
        const ScopedEnv proxyVariable(c.variable, proxy.url({}).toLatin1());
        const QString url = c.proxied ? "http://feed.nowhere.example" + path : origin.url(path);

        const HttpResponse response = fetch({url, "Tolvane", c.mode});

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.body, "observation");
        EXPECT_TRUE(response.complete);
        ASSERT_EQ(origin.requests().size(), 1u);
        EXPECT_TRUE(origin.requests()[0].startsWith("GET " + path.toLatin1() + " HTTP/1.1\r\n"));
        EXPECT_TRUE(origin.requests()[0].contains("\r\nUser-Agent: Tolvane\r\n"));
        if (!c.proxied) {
            EXPECT_EQ(proxy.connectionCount(), 0);
        } else {
            ASSERT_EQ(proxy.requests().size(), 1u);
            EXPECT_TRUE(proxy.requests()[0].startsWith("GET " + url.toLatin1() + " HTTP/1.1\r\n"))
                << proxy.requests()[0].constData();
        }
    }
}

} // namespace
