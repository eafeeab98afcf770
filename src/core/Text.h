#pragma once

#include <QString>

// The text without leading and trailing spaces; tabs and other white space stay, as the program has
// always trimmed names and feed values.
QString TrimSpaces(const QString& text);
