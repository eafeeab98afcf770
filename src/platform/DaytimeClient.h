#pragma once

#include "platform/ProxyMode.h"

#include <QByteArray>
#include <QString>

// One question to a host's daytime service (RFC 867, TCP port 13), which answers a connection
// with one line of text, starting with a line feed of its own, and closes it.
struct DaytimeRequest {
    QString host;
    QByteArray agent; // told to a proxy as User-Agent; the service itself is sent nothing
    ProxyMode proxy = ProxyMode::Direct;
};

enum class DaytimeError {
    None,         // the line arrived, or the service closed the connection
    TimedOut,     // neither within the bound
    NoConnection, // the host name does not resolve, or no route to it
    Refused,      // the host, or the proxy, refused the connection
    NoSocket,     // no socket could be opened at all
    Other,        // a proxy that failed, a broken connection, an over-long reply
};

struct DaytimeReply {
    bool connected = false; // a connection to the service was made
    QByteArray bytes;       // every byte received, in order
    DaytimeError error = DaytimeError::Other;
};

// Asks a daytime service, blocking the caller; the wait is bounded by the backend.
class DaytimeClient {
public:
    virtual ~DaytimeClient() = default;
    virtual DaytimeReply ask(const DaytimeRequest& request) = 0;
};
