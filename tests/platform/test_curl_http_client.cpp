#include "platform/linux/CurlHttpClient.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;
using Server = LoopbackServer;

const QByteArray daytimeLine = "\n53191 04-07-05 14:23:05 50 0 0 754.9 UTC(NIST) *\n";

// Small bounds so that the tests of misbehaving servers stay quick.
constexpr HttpLimits tightLimits{
    .connectTimeoutMs = 500, .totalTimeoutMs = 800, .lowSpeedTimeS = 0, .maxBodyBytes = 64 * 1024};

HttpRequest request(const QString& url, ProxyMode proxy = ProxyMode::Direct)
{
    return {url, "vb wininet", proxy};
}

// A guard against hangs, not a speed test: every call here must come back well within 10 s.
HttpResponse fetch(const HttpRequest& request, HttpLimits limits = {})
{
    CurlHttpClient client(limits);
    const auto start = std::chrono::steady_clock::now();
    HttpResponse response = client.get(request);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "the GET hung";
    return response;
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

// --- Bodies arrive byte for byte, however the server frames them ---

enum class Framing { ContentLength, CloseDelimited, Chunked };

std::string name(Framing framing)
{
    switch (framing) {
    case Framing::ContentLength:
        return "ContentLength";
    case Framing::CloseDelimited:
        return "CloseDelimited";
    case Framing::Chunked:
        return "Chunked";
    }
    return {};
}

struct BodyCase {
    const char* name;
    QByteArray body;
};

void PrintTo(const BodyCase& c, std::ostream* out)
{
    *out << c.name;
}

class BodyFraming : public testing::TestWithParam<std::tuple<BodyCase, Framing>> {};

TEST_P(BodyFraming, BodyArrivesWholeAndExact)
{
    const auto& [bodyCase, framing] = GetParam();
    const QByteArray& body = bodyCase.body;
    QByteArray reply;
    switch (framing) {
    case Framing::ContentLength:
        reply = Server::httpResponse(body);
        break;
    case Framing::CloseDelimited:
        reply = headers({}) + body;
        break;
    case Framing::Chunked:
        reply = headers("Transfer-Encoding: chunked\r\n") + chunked(body);
        break;
    }
    Server server(Server::reply(reply));

    const HttpResponse response = fetch(request(server.url("/data/current_obs/KXYZ.xml")));

    EXPECT_TRUE(response.sessionOpened);
    EXPECT_TRUE(response.connected);
    EXPECT_EQ(response.status, 200);
    EXPECT_TRUE(response.complete);
    EXPECT_EQ(response.body.size(), body.size());
    EXPECT_EQ(response.body, body);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, BodyFraming,
    testing::Combine(testing::Values(BodyCase{"Empty", {}}, BodyCase{"VersionFile", "1.0.1\n"},
                                     BodyCase{"Exactly512", sampleBytes(512)},
                                     BodyCase{"Exactly1000", sampleBytes(1000)},
                                     BodyCase{"OneMiB", sampleBytes(1024 * 1024)}),
                     testing::Values(Framing::ContentLength, Framing::CloseDelimited, Framing::Chunked)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_" + name(std::get<1>(info.param));
    });

// --- What goes on the wire ---

TEST(CurlHttpClient, SendsTheAgentAsUserAgent)
{
    for (const QByteArray& agent : {QByteArray("vb wininet"), QByteArray("Tolvane")}) {
        SCOPED_TRACE(agent.constData());
        Server server(Server::reply(Server::httpResponse("x")));

        fetch({server.url(), agent, ProxyMode::Direct});

        ASSERT_EQ(server.requests().size(), 1u);
        const QByteArray sent = server.requests()[0];
        EXPECT_TRUE(sent.contains("\r\nUser-Agent: " + agent + "\r\n")) << sent.constData();
        EXPECT_EQ(sent.count("User-Agent:"), 1);
    }
}

TEST(CurlHttpClient, SendsThePathExactlyAsGiven)
{
    struct Case {
        QString path;
        QByteArray onTheWire;
    };
    const Case cases[] = {
        {"/data/current_obs/KXYZ.xml", "/data/current_obs/KXYZ.xml"},
        {"/data/current_obs/.xml", "/data/current_obs/.xml"},
        {"/update/version.dat", "/update/version.dat"},
        {"/update/\\images\\a.jpg", "/update/\\images\\a.jpg"},
        {"/update/\\media\\welcome.wav", "/update/\\media\\welcome.wav"},
        {"/update/./x/../y", "/update/./x/../y"},
        {"/", "/"},
        // A single-byte name keeps its one byte, which curl escapes; not two UTF-8 bytes.
        {"/update/\\images\\caf" + QString(QChar(0xE9)) + ".jpg", "/update/\\images\\caf%e9.jpg"},
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
}

TEST(CurlHttpClient, DeliversErrorRepliesLikeAnyOther)
{
    for (const int status : {200, 404, 500}) {
        SCOPED_TRACE(status);
        const QByteArray page = "<html>page for " + QByteArray::number(status) + "</html>";
        Server server(Server::reply(Server::httpResponse(page, status)));

        const HttpResponse response = fetch(request(server.url("/data/current_obs/NONE.xml")));

        EXPECT_EQ(response.status, status);
        EXPECT_EQ(response.body, page);
        EXPECT_TRUE(response.complete);
    }
}

// --- A daytime server sends one bare line and no status line ---

TEST(CurlHttpClient, DaytimeReplyComesBackWholeAsTheBody)
{
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
        bool complete;
    };
    const Case cases[] = {
        {"closed", Server::reply(daytimeLine), true},
        {"reset after the line", Server::replyThenReset(daytimeLine), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        const HttpResponse response = fetch({server.url(), "Tolvane", ProxyMode::Direct});

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, 0);
        EXPECT_EQ(response.body, daytimeLine);
        EXPECT_EQ(response.complete, c.complete);
    }
}

TEST(CurlHttpClient, ServerClosingWithoutAWordGivesAnEmptyIncompleteReply)
{
    Server server(Server::reply({}));

    const HttpResponse response = fetch(request(server.url()));

    EXPECT_TRUE(response.connected);
    EXPECT_TRUE(response.body.isEmpty());
    EXPECT_FALSE(response.complete);
}

// --- Broken and misbehaving transfers: what arrived is kept, and nothing waits for long ---

TEST(CurlHttpClient, KeepsWhatArrivedBeforeATransferBroke)
{
    const QByteArray body = sampleBytes(1000);
    const QByteArray head = headers("Content-Length: 1000\r\n");
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
    };
    const Case cases[] = {
        {"reset mid-body", Server::replyThenReset(head + body.left(400))},
        {"closed short of Content-Length", Server::reply(head + body.left(400))},
        {"reset in the second chunk",
         Server::replyThenReset(headers("Transfer-Encoding: chunked\r\n") + chunked(body).left(450))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        const HttpResponse response = fetch(request(server.url("/update/\\images\\a.jpg")));

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, 200);
        EXPECT_FALSE(response.complete);
        ASSERT_GT(response.body.size(), 0);
        EXPECT_LT(response.body.size(), body.size());
        EXPECT_TRUE(body.startsWith(response.body));
    }
}

TEST(CurlHttpClient, StalledAndTricklingServersAreCutOff)
{
    const QByteArray tail = sampleBytes(1000); // 50 s at the trickle's pace
    struct Case {
        const char* name;
        Server::Behaviour behaviour;
        HttpLimits limits;
        int status;
    };
    HttpLimits lowSpeedOnly = tightLimits;
    lowSpeedOnly.totalTimeoutMs = 0;
    lowSpeedOnly.lowSpeedTimeS = 1;
    HttpLimits totalWithLowSpeed = tightLimits;
    totalWithLowSpeed.totalTimeoutMs = 1'500;
    totalWithLowSpeed.lowSpeedTimeS = 1;
    const Case cases[] = {
        {"silent before any reply", Server::replyThenSilence({}), tightLimits, 0},
        {"silent after the headers, total time-out",
         Server::replyThenSilence(headers("Content-Length: 50\r\n")), tightLimits, 200},
        {"silent after the headers, low-speed time-out",
         Server::replyThenSilence(headers("Content-Length: 50\r\n")), lowSpeedOnly, 200},
        {"trickling faster than the low-speed bound", Server::trickle(headers({}), tail, 50),
         totalWithLowSpeed, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Server server(c.behaviour);

        const HttpResponse response = fetch(request(server.url()), c.limits);

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_FALSE(response.complete);
        EXPECT_TRUE(tail.startsWith(response.body));
    }
}

TEST(CurlHttpClient, EndlessBodyIsCutAtTheSizeLimit)
{
    for (const QByteArray& head : {headers({}), headers("Content-Length: 999999999\r\n"), QByteArray()}) {
        SCOPED_TRACE(head.constData());
        Server server(Server::endless(head));

        const HttpResponse response = fetch(request(server.url()), tightLimits);

        EXPECT_TRUE(response.connected);
        EXPECT_FALSE(response.complete);
        EXPECT_EQ(response.body, QByteArray(tightLimits.maxBodyBytes, 'x'));
    }
}

TEST(CurlHttpClient, SizeLimitAllowsABodyOfExactlyTheLimit)
{
    const qint64 limit = tightLimits.maxBodyBytes;
    struct Case {
        qint64 size;
        bool complete;
    };
    for (const Case c : {Case{limit - 1, true}, Case{limit, true}, Case{limit + 1, false}}) {
        SCOPED_TRACE(c.size);
        const QByteArray body = sampleBytes(int(c.size));
        Server server(Server::reply(Server::httpResponse(body)));

        const HttpResponse response = fetch(request(server.url()), tightLimits);

        EXPECT_EQ(response.complete, c.complete);
        EXPECT_EQ(response.body, body.left(limit));
    }
}

// --- No connection ---

TEST(CurlHttpClient, ReportsNoConnectionWhenNoServerWasReached)
{
    const RefusingPort refusing;
    const UnansweringPort unanswering;
    ASSERT_TRUE(unanswering.ready());
    Server wrongProtocol(Server::reply(Server::httpResponse("x")));
    Server redirecting(
        Server::redirect(QStringLiteral("http://127.0.0.1:%1/").arg(refusing.port()).toLatin1()));
    struct Case {
        const char* name;
        QString url;
        int status = 0; // of the last reply received
    };
    const Case cases[] = {
        {"refused port", QStringLiteral("http://127.0.0.1:%1/").arg(refusing.port())},
        {"connect never answered", QStringLiteral("http://127.0.0.1:%1/").arg(unanswering.port())},
        {"no host", "http://:13/"},
        {"empty URL", ""},
        {"space in the URL", QStringLiteral("http://127.0.0.1:%1/a b.jpg").arg(refusing.port())},
        {"not http", QStringLiteral("ftp://127.0.0.1:%1/").arg(wrongProtocol.port())},
        {"redirected to a refused port", redirecting.url(), 302},
    };
    HttpLimits connectOnly = tightLimits;
    connectOnly.totalTimeoutMs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);

        const HttpResponse response = fetch(request(c.url), connectOnly);

        EXPECT_TRUE(response.sessionOpened);
        EXPECT_FALSE(response.connected);
        EXPECT_EQ(response.status, c.status);
        EXPECT_TRUE(response.body.isEmpty());
        EXPECT_FALSE(response.complete);
    }
    EXPECT_EQ(wrongProtocol.connectionCount(), 0);
}

// --- Redirects ---

TEST(CurlHttpClient, FollowsRedirectsToOtherServersAndPaths)
{
    Server target(Server::reply(Server::httpResponse("moved here")));
    for (const int status : {301, 302, 307}) {
        SCOPED_TRACE(status);
        const QByteArray elsewhere = target.url("/new/place.xml").toLatin1();
        Server origin(
            {{"/same", Server::redirect("/local", status)}, {"/local", Server::redirect(elsewhere, status)}},
            Server::reply(Server::httpResponse("wrong", 404)));

        const HttpResponse response = fetch(request(origin.url("/same")));

        EXPECT_TRUE(response.connected);
        EXPECT_EQ(response.status, 200);
        EXPECT_EQ(response.body, "moved here");
        EXPECT_TRUE(response.complete);
        EXPECT_TRUE(target.requests().back().startsWith("GET /new/place.xml HTTP/1.1\r\n"));
    }
}

TEST(CurlHttpClient, RedirectLoopEnds)
{
    Server looping(Server::redirect("/again"));

    const HttpResponse response = fetch(request(looping.url("/again")));

    EXPECT_FALSE(response.complete);
    EXPECT_LT(looping.connectionCount(), 20);
}

TEST(CurlHttpClient, RedirectToAnotherProtocolIsRefused)
{
    Server ftp(Server::reply("220 ready\r\n"));
    Server origin(Server::redirect(QStringLiteral("ftp://127.0.0.1:%1/x").arg(ftp.port()).toLatin1()));

    const HttpResponse response = fetch(request(origin.url()), tightLimits);

    EXPECT_FALSE(response.complete);
    EXPECT_TRUE(response.body.isEmpty());
    EXPECT_EQ(ftp.connectionCount(), 0);
}

// --- Proxies: Direct never uses one, System uses the one the environment names ---

struct ProxyCase {
    const char* variable;
    ProxyMode mode;
};

void PrintTo(const ProxyCase& c, std::ostream* out)
{
    *out << c.variable << (c.mode == ProxyMode::Direct ? " Direct" : " System");
}

class ProxyChoice : public testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyChoice, DirectIgnoresTheProxyAndSystemUsesIt)
{
    const ProxyCase& c = GetParam();
    Server origin(Server::reply(Server::httpResponse("observation")));
    Server proxy(Server::forwardTo(origin.port()));
    const ScopedEnv clearedNoProxy("no_proxy", std::nullopt);
    const ScopedEnv clearedNoProxyUpper("NO_PROXY", std::nullopt);
    const ScopedEnv proxyVariable(c.variable, proxy.url({}).toLatin1());

    const HttpResponse response = fetch(request(origin.url("/data/current_obs/KXYZ.xml"), c.mode));

    EXPECT_EQ(response.body, "observation");
    EXPECT_TRUE(response.complete);
    ASSERT_EQ(origin.requests().size(), 1u);
    EXPECT_TRUE(origin.requests()[0].startsWith("GET /data/current_obs/KXYZ.xml HTTP/1.1\r\n"));
    if (c.mode == ProxyMode::Direct) {
        EXPECT_EQ(proxy.connectionCount(), 0);
    } else {
        ASSERT_EQ(proxy.requests().size(), 1u);
        const QByteArray absolute = origin.url("/data/current_obs/KXYZ.xml").toLatin1();
        EXPECT_TRUE(proxy.requests()[0].startsWith("GET " + absolute + " HTTP/1.1\r\n"));
    }
}

INSTANTIATE_TEST_SUITE_P(Environment, ProxyChoice,
                         testing::Values(ProxyCase{"http_proxy", ProxyMode::Direct},
                                         ProxyCase{"all_proxy", ProxyMode::Direct},
                                         ProxyCase{"ALL_PROXY", ProxyMode::Direct},
                                         ProxyCase{"http_proxy", ProxyMode::System},
                                         ProxyCase{"all_proxy", ProxyMode::System}),
                         [](const auto& info) {
                             return std::string(info.param.variable) +
                                    (info.param.mode == ProxyMode::Direct ? "_Direct" : "_System");
                         });

// Through a proxy the client never looks the host up itself, so a daytime server known only to
// the proxy answers.
TEST(CurlHttpClient, SystemProxyReachesADaytimeServerByName)
{
    Server daytime(Server::reply(daytimeLine));
    Server proxy(Server::forwardTo(daytime.port()));
    const ScopedEnv clearedNoProxy("no_proxy", std::nullopt);
    const ScopedEnv clearedNoProxyUpper("NO_PROXY", std::nullopt);
    const ScopedEnv proxyVariable("http_proxy", proxy.url({}).toLatin1());

    const HttpResponse response = fetch({"http://time-a.nist.example:13/", "Tolvane", ProxyMode::System});

    EXPECT_TRUE(response.connected);
    EXPECT_EQ(response.body, daytimeLine);
    ASSERT_EQ(proxy.requests().size(), 1u);
    EXPECT_TRUE(proxy.requests()[0].startsWith("GET http://time-a.nist.example:13/ HTTP/1.1\r\n"));
    EXPECT_TRUE(proxy.requests()[0].contains("\r\nUser-Agent: Tolvane\r\n"));
}

} // namespace
