#pragma once

#include <QPalette>
#include <QString>

#include <vector>

class QWidget;

// A text on screen and the contrast it has against what lies behind it.
struct MeasuredText {
    QString control; // object name, or class and text
    QString text;
    double contrast = 1.0; // 1 when no pixel of the text shows
};

// Renders `window` as it is, then once more for each visible control that shows a text (labels,
// buttons, check boxes, frame titles, text and drop-down boxes, the status bar and the menu bar) with
// that text removed. The pixels that differ are the text's; the highest contrast among them, text
// pixel against background pixel, is the contrast of that text (the cores of the strokes carry the
// text's own colour, their edges are blended with the background).
std::vector<MeasuredText> MeasureTextContrast(QWidget* window);

// A dark palette as a desktop's dark theme sets it: light text on dark windows, fields and buttons.
QPalette DarkPalette();
