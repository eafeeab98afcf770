#pragma once

#include <QByteArray>
#include <QString>

enum class ProxyMode {
    Direct, // no proxy, whatever the environment says
    System, // the proxy the user's system configures, if any
};

struct HttpRequest {
    QString url;
    QByteArray agent; // sent as User-Agent
    ProxyMode proxy = ProxyMode::Direct;
};

struct HttpResponse {
    bool sessionOpened = false; // the client could be set up at all
    bool connected = false;     // a connection to the server was made (false: bad URL, unknown host, refused)
    int status = 0;             // HTTP status code; 0 when the reply had no status line
    QByteArray body;            // every byte received, also when the transfer broke off part-way
    bool complete = false;      // ended normally: no reset, no time-out, within the size limit, full declared length
};

// One blocking GET. Redirects are followed; waits and body size are bounded by the backend.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse get(const HttpRequest& request) = 0;
};
