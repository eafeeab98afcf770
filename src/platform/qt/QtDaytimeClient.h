#pragma once

#include "platform/DaytimeClient.h"

#include <QtGlobal>

// The daytime exchange on QTcpSocket, waited in a local event loop that takes no user input. It ends
// the moment the line has arrived or the service closes, and after `boundMs` in all at most.
class QtDaytimeClient final : public DaytimeClient {
public:
    static constexpr quint16 Port = 13;
    static constexpr int DefaultBoundMs = 5'000;
    static constexpr qsizetype MaxReplyBytes = 8 * 1024; // a daytime line is some fifty bytes

    explicit QtDaytimeClient(int boundMs = DefaultBoundMs);
    DaytimeReply ask(const DaytimeRequest& request) override;

private:
    int boundMs_;
};

// Whether the time-code line has arrived: a line feed after text. The reply's own leading line
// feed (and any carriage return) is not yet the end of it.
bool DaytimeLineArrived(const QByteArray& bytes);
