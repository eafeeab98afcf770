#include "platform/linux/CanberraSoundPlayer.h"

#include <QFile>

#include <canberra.h>

namespace {
// Every cue carries the same id, so cancelling it stops whichever cue is playing.
constexpr uint32_t CueId = 1;
} // namespace

CanberraSoundPlayer::CanberraSoundPlayer(const QString& applicationName, const QString& applicationId)
{
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, applicationName.toUtf8().constData(),
                            CA_PROP_APPLICATION_ID, applicationId.toUtf8().constData(), nullptr);
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context_)
        ca_context_destroy(context_);
}

void CanberraSoundPlayer::play(const QString& filePath)
{
    if (!context_)
        return;
    ca_context_cancel(context_, CueId);
    // The connection to the sound server is opened on first use; failures are not reported.
    ca_context_play(context_, CueId, CA_PROP_MEDIA_FILENAME, QFile::encodeName(filePath).constData(),
                    CA_PROP_MEDIA_ROLE, "event", nullptr);
}
