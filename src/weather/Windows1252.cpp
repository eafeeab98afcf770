#include "weather/Windows1252.h"

#include <QStringDecoder>

#include <algorithm>

namespace {
// Windows-1252 differs from Latin-1 only in the bytes 0x80 to 0x9f.
bool needsWindowsTable(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        const auto value = static_cast<unsigned char>(byte);
        return value >= 0x80 && value <= 0x9f;
    });
}
} // namespace

QString FromWindows1252(const QByteArray& bytes)
{
    // Text without those bytes decodes alike either way; Latin-1 spares loading ICU's converter data
    // (about 0.8 MiB) for the usual all-ASCII observation.
    if (!needsWindowsTable(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder decoder("windows-1252");
    // A Qt built without ICU knows no Windows-1252; Latin-1 then still keeps every byte one character.
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}
