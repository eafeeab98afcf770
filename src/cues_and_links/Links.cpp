#include "cues_and_links/Links.h"

#include "platform/Services.h"
#include "platform/ShellOpener.h"

void OpenLink(const QString& target)
{
    if (ShellOpener* shell = services().shell)
        shell->open(target);
}
