#pragma once

#include "platform/MessageBoxes.h"

class QtMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& text, const QString& caption, MessageIcon icon) override;
};
