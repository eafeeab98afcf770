#include "weather/ObservationFields.h"

#include "core/Text.h"

std::optional<QString> ValueOnLine(const QString& line, const QString& openingTag, const QString& closingTag)
{
    const QString trimmed = TrimSpaces(line);
    const qsizetype opening = trimmed.indexOf(openingTag);
    if (opening < 0)
        return std::nullopt;
    const qsizetype start = opening + openingTag.size();
    QString piece = trimmed.mid(start);
    const qsizetype nextOpening = piece.indexOf(openingTag);
    if (nextOpening >= 0)
        piece.truncate(nextOpening);
    const qsizetype closing = piece.indexOf(closingTag);
    if (closing >= 0)
        piece.truncate(closing);
    return piece;
}

std::optional<QString> FindValue(const QStringList& lines, qsizetype fixedIndex, const QString& openingTag,
                                 const QString& closingTag)
{
    if (fixedIndex >= 0 && fixedIndex < lines.size())
        if (auto value = ValueOnLine(lines.at(fixedIndex), openingTag, closingTag))
            return value;
    for (const QString& line : lines)
        if (auto value = ValueOnLine(line, openingTag, closingTag))
            return value;
    return std::nullopt;
}
