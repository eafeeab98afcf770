#pragma once

#include <QGroupBox>
#include <QLabel>

// A one-line label that shortens a caption too long for it with "…" instead of cutting it off.
// text() keeps the whole caption. While the caption is shortened, the whole of it goes into the
// accessible description and, unless the label carries a tooltip set by someone else, the tooltip.
// A suffix (an age mark such as " (3 h old)") is shown whole after the shortened caption.
class ElidingLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(const QString& caption = {}, QWidget* parent = nullptr);

    void setCaption(const QString& caption, const QString& suffix = {});
    // Hides QLabel::setText so that every caption set through this type keeps its description.
    void setText(const QString& caption) { setCaption(caption); }
    // What the caption belongs to ("Humidity"): the accessible name reads "Humidity: 43%".
    void setField(const QString& field);
    // The caption as drawn.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void describe();

    QString suffix_;
    QString field_;
    QString ownToolTip_;
    QString ownDescription_;
};

// A frame whose title is shortened with "…" when it does not fit; title() keeps the whole title,
// which a shortened title shows as a tooltip over it and gives as the accessible description.
class ElidingGroupBox final : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // Hides QGroupBox::setTitle so that every title set through this type keeps its description.
    void setTitle(const QString& title);
    // The title as drawn.
    QString shownTitle() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect titleRect() const;
    void describe();

    QString ownDescription_;
};
