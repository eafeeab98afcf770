#include "platform/linux/CanberraSoundPlayer.h"

#include <QFile>

#include <canberra.h>

namespace {
// Every cue carries the same id, so cancelling it stops whichever cue is playing.
constexpr uint32_t CueId = 1;
} // namespace

CanberraSoundPlayer::CanberraSoundPlayer()
{
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Tolvane", CA_PROP_APPLICATION_ID,
                            "io.github.orlentis.Tolvane", nullptr);
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (m_context)
        ca_context_destroy(m_context);
}

void CanberraSoundPlayer::play(const QString& filePath)
{
    if (!m_context)
        return;
    ca_context_cancel(m_context, CueId);
    // The connection to the sound server is opened on first use; failures are not reported.
    ca_context_play(m_context, CueId, CA_PROP_MEDIA_FILENAME, QFile::encodeName(filePath).constData(),
                    CA_PROP_MEDIA_ROLE, "event", nullptr);
}
