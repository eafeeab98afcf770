#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageBoxes::show(const QString& text, const QString& caption, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon, caption, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
