#pragma once

#include <QString>

enum class MessageIcon { None, Information };

// Modal message boxes with a single OK button.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString& text, const QString& caption, MessageIcon icon) = 0;
};
