#include "weather/Windows1252.h"

#include <QStringDecoder>

QString FromWindows1252(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    // A Qt built without ICU knows no Windows-1252; Latin-1 then still keeps every byte one character.
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}
