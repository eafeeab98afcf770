#include "widgets/Placement.h"

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
    label->setText(text);
}
