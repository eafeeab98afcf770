#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The contrast ratio of two colours as the web's accessibility guidelines define it: 1 (same
// luminance) to 21 (black on white). Text wants at least MinimumTextContrast.
double ContrastRatio(const QColor& first, const QColor& second);
inline constexpr double MinimumTextContrast = 4.5;

// `designed` when it reads on `background`, else `fallback` when that reads, else black or white.
QColor ReadableTextColour(const QColor& designed, const QColor& background, const QColor& fallback);

// Gives the widget the colours set in `fixed` (only those roles) and writes its text in the designed
// colour against the backgrounds it keeps from the system palette (window, field, button). Where the
// system's background would make the designed colour unreadable (a dark palette), that text keeps
// the system's own colour instead. The choice is made again whenever the palette changes.
void WriteTextIn(QWidget* widget, const QColor& designed, const QPalette& fixed = QPalette());
