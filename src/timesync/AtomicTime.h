#pragma once

#include "platform/DaytimeClient.h"
#include "timesync/ClockOffset.h"

#include <QString>

#include <optional>

// The two ways the server's daytime service is asked: for the display (direct, no proxy) and for
// setting the clock (the system's proxy settings).
DaytimeRequest DisplayDaytimeRequest(const QString& server);
DaytimeRequest SyncDaytimeRequest(const QString& server);

// The synchronisation request uses at most this much of the reply.
inline constexpr qsizetype SyncReadLimit = 2048;

// The server's time as the main window shows it, or "" after three beeps when nothing usable came.
QString GetAtomicTime(const QString& server);

// What a synchronisation did.
struct SyncOutcome {
    bool clockSet = false;
    QString message;                     // what the user must be told; empty after one that went well
    std::optional<ClockOffset> measured; // how far off the clock was, when NTP measured it
};

// The user's choice of how the clock is set.
enum class SyncMethod {
    Daytime, // the server's daytime line, less its advance: whole seconds
    Precise, // one NTP query: the offset, to the network's own limit
};

// Sets the computer's clock from the server. With NTP the clock is moved by the offset measured, and a
// failed query sets nothing: it never falls back to the daytime service.
SyncOutcome SyncLocalTime(const QString& server, SyncMethod method);
