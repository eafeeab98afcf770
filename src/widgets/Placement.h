#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

#include <type_traits>

// Puts the window in the middle of the primary screen's free area.
void CentreOnScreen(QWidget* form);
// Shows a window, brings it to the front and gives it the focus.
void ShowInFront(QWidget* form);

// Shows `text` as it stands: captions may come from the network, so never as markup.
void SetPlainCaption(QLabel* label, const QString& text);

// Puts a control at its designed place (see Twips) in `font`, named `name` when given. Labels show
// plain text.
template <typename Widget>
Widget* Place(Widget* widget, const QRect& geometry, const QFont& font, const char* name = nullptr)
{
    widget->setGeometry(geometry);
    widget->setFont(font);
    if (name)
        widget->setObjectName(name);
    if constexpr (std::is_base_of_v<QLabel, Widget>)
        widget->setTextFormat(Qt::PlainText);
    return widget;
}
