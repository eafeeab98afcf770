#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

// A daytime service (RFC 867) for tests on 127.0.0.1: each connection gets its answer the moment it
// is accepted, whatever the client sends, and is then closed, as NIST's servers do (or, to test
// clients, reset or held open). One connection is served at a time.
class DaytimeServer final {
public:
    enum class Ending {
        Close, // close at once
        Reset, // wait up to 2 s for the client to send or hang up, then reset the connection (RST)
        Hold,  // keep the connection open, silent, until the client hangs up (or the server stops)
    };

    // Listens on 127.0.0.1:`port`; isListening() tells whether that worked.
    DaytimeServer(quint16 port, QByteArray answer, Ending ending = Ending::Close);
    ~DaytimeServer();
    DaytimeServer(const DaytimeServer&) = delete;
    DaytimeServer& operator=(const DaytimeServer&) = delete;

    bool isListening() const { return listener_ >= 0; }
    int connectionCount() const { return connections_; }
    // Held connections that the client closed while the server still held them.
    int hangUps() const { return hangUps_; }

private:
    void run();

    QByteArray answer_;
    Ending ending_;
    int listener_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> hangUps_{0};
    std::thread thread_;
};
