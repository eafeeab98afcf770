#include "weather/ObservationFields.h"

namespace {

// The whole line around position `at`, without its line end.
QStringView LineAround(QStringView text, qsizetype at)
{
    const qsizetype start = at > 0 ? text.lastIndexOf(u'\n', at - 1) + 1 : 0;
    qsizetype end = text.indexOf(u'\n', at);
    if (end < 0)
        end = text.size();
    QStringView line = text.sliced(start, end - start);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

QStringView TrimSpacesView(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

} // namespace

std::optional<QString> ValueOnLine(QStringView line, QStringView openingTag, QStringView closingTag)
{
    const QStringView trimmed = TrimSpacesView(line);
    const qsizetype opening = trimmed.indexOf(openingTag);
    if (opening < 0)
        return std::nullopt;
    QStringView piece = trimmed.sliced(opening + openingTag.size());
    const qsizetype nextOpening = piece.indexOf(openingTag);
    if (nextOpening >= 0)
        piece.truncate(nextOpening);
    const qsizetype closing = piece.indexOf(closingTag);
    if (closing >= 0)
        piece.truncate(closing);
    return piece.toString();
}

std::optional<QStringView> LineAt(QStringView text, qsizetype index)
{
    qsizetype start = 0;
    for (qsizetype n = 0; n < index; ++n) {
        const qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            return std::nullopt;
        start = end + 1;
    }
    // A final line end starts no line.
    if (start >= text.size() && (index > 0 || text.isEmpty()))
        return std::nullopt;
    return LineAround(text, start);
}

std::optional<QString> FindValue(QStringView text, qsizetype fixedIndex, QStringView openingTag, QStringView closingTag)
{
    if (fixedIndex >= 0)
        if (const std::optional<QStringView> line = LineAt(text, fixedIndex))
            if (auto value = ValueOnLine(*line, openingTag, closingTag))
                return value;
    // Trimming a line removes no part of a tag, so the first line holding the tag holds its first
    // occurrence in the text: one search instead of a walk over every line.
    const qsizetype first = text.indexOf(openingTag);
    if (first < 0)
        return std::nullopt;
    return ValueOnLine(LineAround(text, first), openingTag, closingTag);
}
