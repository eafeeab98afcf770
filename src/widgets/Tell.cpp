#include "widgets/Tell.h"

#include "core/ProgramInfo.h"
#include "platform/Services.h"

void Tell(const QString& text, MessageIcon icon)
{
    if (MessageBoxes* messages = services().messages)
        messages->show(text, Program::Title, icon);
}
