#pragma once

#include "platform/ProxyMode.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <utility>

struct HttpRequest {
    QString url;
    QByteArray agent; // sent as User-Agent
    ProxyMode proxy = ProxyMode::Direct;
    QList<std::pair<QByteArray, QByteArray>> headers; // further request headers, such as Accept
    // The call gives up by this moment even when its own bounds would let it wait longer, so that a
    // caller can spend one budget over several requests.
    QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever);
};

// Why an exchange gave no whole reply, in the terms a user is told.
enum class HttpError {
    None,         // a whole reply arrived (whatever its status, but see NotFound)
    NotFound,     // the server answered 404 or 410
    TimedOut,     // a bound or the caller's deadline ran out
    NoConnection, // the host name does not resolve, or no route to it
    Refused,      // the host refused the connection
    TooLarge,     // the body went past the client's size bound
    Other,        // anything else: a reset, a cut body, a bad URL, TLS refused
};

struct HttpResponse {
    bool sessionOpened = false; // the client could be set up at all
    bool connected = false;     // a connection to the server was made (false: bad URL, unknown host, refused)
    int status = 0;             // HTTP status code; 0 when the reply had no status line
    QByteArray body;            // every byte received, also when the transfer broke off part-way
    bool complete = false;      // ended normally: no reset, no time-out, within the size limit, full declared length
    HttpError error = HttpError::Other;
};

// One blocking GET. Redirects are followed; waits and body size are bounded by the backend.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse get(const HttpRequest& request) = 0;
};
