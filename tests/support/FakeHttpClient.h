#pragma once

#include "platform/HttpClient.h"

#include <QHash>

#include <functional>
#include <vector>

// Answers GETs without a network. Every request is recorded in order. The answer comes from
// `answers` when the URL is there, else from `handler` when set, else it is `notConnected()`.
class FakeHttpClient final : public HttpClient {
public:
    std::vector<HttpRequest> requests;
    QHash<QString, HttpResponse> answers; // by URL, exactly as requested
    std::function<HttpResponse(const HttpRequest&)> handler;

    HttpResponse get(const HttpRequest& request) override;

    // A complete reply with this body, as a reachable server gives it.
    static HttpResponse reply(const QByteArray& body, int status = 200);
    // What an unreachable host gives: a session but no connection, nothing received.
    static HttpResponse notConnected();
};
