#pragma once

#include "platform/HttpClient.h"

#include <QtGlobal>

// Every GET runs on the user-interface thread, so each one is bounded in time and memory.
// Defaults: a connect that takes 10 s is a dead or black-holed host (a live one answers in well
// under a second even after a lost SYN); 30 s in total is ample for the largest file the program
// fetches (a picture or sound of some hundred KiB); a server that sends nothing for 10 s has
// stalled; and 8 MiB is far above any legitimate reply while keeping memory small.
struct HttpLimits {
    int connectTimeoutMs = 10'000;         // name lookup, connect and TLS handshake, for each connection
    int totalTimeoutMs = 30'000;           // the whole exchange, redirects included; 0: none
    int stallTimeoutMs = 10'000;           // give up when no byte arrives for this long; 0: no check
    qint64 maxBodyBytes = 8 * 1024 * 1024; // bytes kept; a longer body is cut here and incomplete
};

// HTTP client on QNetworkAccessManager. One manager per call, so nothing (connections, cookies)
// carries over between calls; the call waits for its reply in a local event loop that takes no user
// input. The URL is taken as single-byte text: a byte above 0x7F goes out as one %XX escape, and
// characters HTTP does not allow in a path, the backslashes of pack names among them, go out
// percent-encoded ("\" as %5C). Dot segments ("/./", "/../") are resolved, as RFC 3986 says.
class QtHttpClient final : public HttpClient {
public:
    explicit QtHttpClient(HttpLimits limits = {});
    HttpResponse get(const HttpRequest& request) override;

    static constexpr int MaxRedirects = 5;

private:
    HttpLimits limits_;
};
