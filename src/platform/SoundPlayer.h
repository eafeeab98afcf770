#pragma once

#include <QString>

// Plays a sound file asynchronously: returns at once, keeps playing while the caller's thread sleeps,
// and a new sound replaces one still playing. Failures are silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& filePath) = 0;
};
