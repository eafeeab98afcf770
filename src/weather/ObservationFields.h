#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The value of one element on one line: the text after the first opening tag, up to the first closing
// tag after it, or up to a second opening tag, or the end of the (space-trimmed) line. Tags match
// exactly, case included. Nothing when the line lacks the opening tag.
std::optional<QString> ValueOnLine(QStringView line, QStringView openingTag, QStringView closingTag);

// The line at `index` (from 0) of a text whose lines end in CR LF or LF (the line end is not part of
// the line); nothing beyond the last line. A view into the text: a reply of millions of empty lines
// costs no copy per line.
std::optional<QStringView> LineAt(QStringView text, qsizetype index);

// The value on the element's fixed line (index from 0). Documents of the feed's later layouts hold the
// elements lower down, so when the fixed line lacks the opening tag the first line that has it counts.
// Nothing when no line has it.
std::optional<QString> FindValue(QStringView text, qsizetype fixedIndex, QStringView openingTag,
                                 QStringView closingTag);
