#pragma once

#include <QByteArray>
#include <QString>

// The feed's replies are single-byte text; the program reads them as Windows-1252, so the degree sign
// and accented place names show as the user expects.
QString FromWindows1252(const QByteArray& bytes);
