#pragma once

#include "platform/SoundPlayer.h"

struct ca_context;

// Plays sound files through libcanberra, which streams them to the desktop's sound server from its
// own thread: playback goes on while the program's one thread sleeps. One cue at a time; a new one
// cancels the one still playing. Without a sound server or device nothing is heard and nothing said.
class CanberraSoundPlayer final : public SoundPlayer {
public:
    CanberraSoundPlayer(const QString& applicationName, const QString& applicationId);
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(const QString& filePath) override;

private:
    ca_context* context_ = nullptr;
};
