#include "widgets/Placement.h"

#include "widgets/ElidingLabel.h"

#include <QGuiApplication>
#include <QScreen>

void CentreOnScreen(QWidget* form)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
}

void ShowInFront(QWidget* form)
{
    form->show();
    form->raise();
    form->activateWindow();
}

void SetPlainCaption(QLabel* label, const QString& text)
{
    label->setTextFormat(Qt::PlainText);
    // A label that shortens long captions keeps the whole one for its tooltip and screen readers.
    if (auto* eliding = qobject_cast<ElidingLabel*>(label))
        eliding->setCaption(text);
    else
        label->setText(text);
}
