#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The value of one element on one line: the text after the first opening tag, up to the first closing
// tag after it, or up to a second opening tag, or the end of the (space-trimmed) line. Tags match
// exactly, case included. Nothing when the line lacks the opening tag.
std::optional<QString> ValueOnLine(const QString& line, const QString& openingTag, const QString& closingTag);

// The value on the element's fixed line (index from 0). Documents of the feed's later layouts hold the
// elements lower down, so when the fixed line lacks the opening tag the first line that has it counts.
// Nothing when no line has it.
std::optional<QString> FindValue(const QStringList& lines, qsizetype fixedIndex, const QString& openingTag,
                                 const QString& closingTag);
