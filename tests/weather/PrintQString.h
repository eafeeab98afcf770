#pragma once

#include <QString>

#include <ostream>

// Lets failing expectations show a QString as its text rather than as a list of 2-byte objects.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
