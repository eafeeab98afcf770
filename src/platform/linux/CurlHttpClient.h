#pragma once

#include "platform/HttpClient.h"

#include <QtGlobal>

// Every GET runs on the user-interface thread, so each one is bounded in time and memory.
// Defaults: a connect that takes 10 s is a dead or black-holed host (a live one answers in well
// under a second even after a lost SYN); 30 s in total is ample for the largest file the program
// fetches (a picture or sound of some hundred KiB); a server that sends nothing for 10 s has
// stalled; and 8 MiB is far above any legitimate reply while keeping memory small.
struct HttpLimits {
    int connectTimeoutMs = 10'000;         // name lookup and connect, for each connection
    int totalTimeoutMs = 30'000;           // the whole exchange, redirects included; 0: none
    int lowSpeedTimeS = 10;                // give up after this long below 1 byte/s; 0: no check
    qint64 maxBodyBytes = 8 * 1024 * 1024; // bytes kept; a longer body is cut here and incomplete
};

// HTTP client on libcurl. One easy handle per call, so nothing carries over between calls.
// The URL is taken as Latin-1 bytes, the program's single-byte text, and sent as it stands:
// backslashes in the path stay backslashes. libcurl itself percent-encodes bytes above 0x7F and
// refuses a URL with a space in it (not connected).
class CurlHttpClient final : public HttpClient {
public:
    explicit CurlHttpClient(HttpLimits limits = {});
    HttpResponse get(const HttpRequest& request) override;

private:
    HttpLimits limits_;
};
