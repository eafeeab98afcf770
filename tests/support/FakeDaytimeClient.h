#pragma once

#include "platform/DaytimeClient.h"

#include <QHash>

#include <functional>
#include <vector>

// Answers daytime questions without a network. Every request is recorded in order. The answer comes
// from `answers` when the host is there, else from `handler` when set, else it is `notConnected()`.
class FakeDaytimeClient final : public DaytimeClient {
public:
    std::vector<DaytimeRequest> requests;
    QHash<QString, DaytimeReply> answers; // by host, exactly as asked
    std::function<DaytimeReply(const DaytimeRequest&)> handler;

    DaytimeReply ask(const DaytimeRequest& request) override;

    // What a reachable service gives: these bytes, then its close.
    static DaytimeReply reply(const QByteArray& bytes);
    // What an unknown or unreachable host gives: no connection, nothing received.
    static DaytimeReply notConnected();
};
