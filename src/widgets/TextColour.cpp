#include "widgets/TextColour.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
double channelLuminance(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channelLuminance(rgb.redF()) + 0.7152 * channelLuminance(rgb.greenF()) +
           0.0722 * channelLuminance(rgb.blueF());
}
} // namespace

double ContrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ReadableTextColour(const QColor& designed, const QColor& background, const QColor& fallback)
{
    for (const QColor& candidate : {designed, fallback})
        if (ContrastRatio(candidate, background) >= MinimumTextContrast)
            return candidate;
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

namespace {
// Keeps a widget's fixed colours and chooses its text colours again whenever the backgrounds it
// inherits from the system change.
class TextColourKeeper final : public QObject {
public:
    TextColourKeeper(QWidget* widget, const QColor& designed, const QPalette& fixed)
        : QObject(widget), designed_(designed), fixed_(fixed)
    {
        widget->installEventFilter(this);
    }

    void apply(QWidget* widget)
    {
        if (applying_)
            return;
        applying_ = true;
        // Only the roles set here are the widget's own; the others keep following the system.
        const QPalette shown = fixed_.resolve(widget->palette());
        const QPalette system = QApplication::palette(widget);
        QPalette own = fixed_;
        const struct {
            QPalette::ColorRole text;
            QPalette::ColorRole background;
        } pairs[] = {{QPalette::WindowText, QPalette::Window},
                     {QPalette::Text, QPalette::Base},
                     {QPalette::ButtonText, QPalette::Button}};
        for (const auto& pair : pairs)
            own.setColor(pair.text,
                         ReadableTextColour(designed_, shown.color(pair.background), system.color(pair.text)));
        widget->setPalette(own);
        applying_ = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            apply(static_cast<QWidget*>(watched));
        return false;
    }

private:
    QColor designed_;
    QPalette fixed_;
    bool applying_ = false;
};
} // namespace

void WriteTextIn(QWidget* widget, const QColor& designed, const QPalette& fixed)
{
    for (QObject* child : widget->children())
        delete dynamic_cast<TextColourKeeper*>(child);
    (new TextColourKeeper(widget, designed, fixed))->apply(widget);
}
