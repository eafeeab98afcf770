#pragma once

#include "platform/DaytimeClient.h"

#include <QString>

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
    QString message; // what the user must be told; empty after a synchronisation that went well
};

// Sets the computer's clock from the server: the server's time less its advance.
SyncOutcome SyncLocalTime(const QString& server);
