#include "widgets/ElidingLabel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace {
// Sets `value` through `set` unless someone else has set a value of their own; `own` remembers
// what was set here, so it can be replaced or taken back later.
template <typename Set> void setUnlessTaken(const QString& current, QString& own, const QString& value, Set set)
{
    if (!current.isEmpty() && current != own)
        return;
    own = value;
    set(value);
}
} // namespace

ElidingLabel::ElidingLabel(const QString& caption, QWidget* parent) : QLabel(parent)
{
    // Captions show data from the network: never rich text.
    setTextFormat(Qt::PlainText);
    setCaption(caption);
}

void ElidingLabel::setCaption(const QString& caption, const QString& suffix)
{
    suffix_ = suffix;
    QLabel::setText(caption + suffix);
    describe();
}

void ElidingLabel::setField(const QString& field)
{
    field_ = field;
    describe();
}

QString ElidingLabel::shownText() const
{
    const QString whole = text();
    // A caption set through QLabel itself has no suffix of ours.
    const QString suffix = whole.endsWith(suffix_) ? suffix_ : QString();
    const QString caption = whole.left(whole.size() - suffix.size());
    const int room = contentsRect().width() - 2 * margin() - fontMetrics().horizontalAdvance(suffix);
    return fontMetrics().elidedText(caption, Qt::ElideRight, std::max(room, 0)) + suffix;
}

void ElidingLabel::describe()
{
    const bool shortened = shownText() != text();
    setUnlessTaken(toolTip(), ownToolTip_, shortened ? text() : QString(),
                   [this](const QString& value) { setToolTip(value); });
    setUnlessTaken(accessibleDescription(), ownDescription_, shortened ? text() : QString(),
                   [this](const QString& value) { setAccessibleDescription(value); });
    if (!field_.isEmpty())
        setAccessibleName(text().isEmpty() ? field_ : field_ + ": " + text());
}

void ElidingLabel::paintEvent(QPaintEvent*)
{
    // As QLabel draws plain text, with the shortened caption.
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const int flags = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), shownText(), foregroundRole());
}

void ElidingLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    describe();
}

void ElidingLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        describe();
}

void ElidingGroupBox::setTitle(const QString& title)
{
    QGroupBox::setTitle(title);
    describe();
}

QRect ElidingGroupBox::titleRect() const
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
}

QString ElidingGroupBox::shownTitle() const
{
    // The title starts a little way in; it may run to as far from the right edge.
    const int inset = std::max(titleRect().left(), 0);
    const int room = width() - 2 * inset - fontMetrics().horizontalAdvance(' ');
    return fontMetrics().elidedText(title(), Qt::ElideRight, std::max(room, 0), Qt::TextShowMnemonic);
}

void ElidingGroupBox::describe()
{
    const bool shortened = shownTitle() != title();
    setUnlessTaken(accessibleDescription(), ownDescription_,
                   shortened ? QString(title()).replace("&&", "&") : QString(),
                   [this](const QString& value) { setAccessibleDescription(value); });
}

bool ElidingGroupBox::event(QEvent* event)
{
    // A tooltip of the frame itself would show over every control inside it; only the title has one.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (shownTitle() != title() && titleRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), QString(title()).replace("&&", "&"), this, titleRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QGroupBox::event(event);
}

void ElidingGroupBox::paintEvent(QPaintEvent*)
{
    // As QGroupBox draws itself, with the shortened title.
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.text = shownTitle();
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void ElidingGroupBox::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    describe();
}
