#pragma once

#include <QLabel>

// A label (text or picture) that acts as a link: a left click, or Enter or Space while it has the
// keyboard focus, reports `clicked`. Tab reaches it, and it shows a focus frame while focused.
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
