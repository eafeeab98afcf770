#pragma once

#include "platform/MessageBoxes.h"

#include <QString>

// How the windows tell the user something: a modal box with an OK button, captioned with the
// program's title. The routines below the windows only return what is to be told.
void Tell(const QString& text, MessageIcon icon = MessageIcon::None);
