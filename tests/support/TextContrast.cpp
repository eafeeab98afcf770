#include "support/TextContrast.h"

#include "widgets/TextColour.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <functional>

namespace {

// How to take a control's text away and put it back, and where on the control the text lies.
struct Removal {
    QString text;
    std::function<void()> remove;
    std::function<void()> restore;
    QRect area; // in the control's coordinates
};

Removal removalFor(QWidget* control)
{
    const QRect whole = control->rect();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        const QString text = label->text();
        if (text.isEmpty() || !label->pixmap().isNull())
            return {};
        return {text, [label] { label->setText({}); }, [label, text] { label->setText(text); }, whole};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        const QString text = button->text();
        return {text, [button] { button->setText({}); }, [button, text] { button->setText(text); }, whole};
    }
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        // Only the title: without it the frame's top line moves.
        const QString title = box->title();
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = title;
        option.subControls = QStyle::SC_GroupBoxLabel;
        option.textAlignment = box->alignment();
        const QRect area = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return {title, [box] { box->setTitle({}); }, [box, title] { box->setTitle(title); }, area};
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()))
            return {}; // measured with its box
        const QString text = edit->text();
        return {text,
                [edit] {
                    const QSignalBlocker quiet(edit);
                    edit->setText({});
                },
                [edit, text] {
                    const QSignalBlocker quiet(edit);
                    edit->setText(text);
                },
                whole};
    }
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        const QString text = box->currentText();
        const int index = box->currentIndex();
        return {text,
                [box] {
                    const QSignalBlocker quiet(box);
                    if (box->isEditable()) {
                        const QSignalBlocker quietEdit(box->lineEdit());
                        box->lineEdit()->setText({});
                    } else {
                        box->setCurrentIndex(-1);
                    }
                },
                [box, text, index] {
                    const QSignalBlocker quiet(box);
                    if (box->isEditable()) {
                        const QSignalBlocker quietEdit(box->lineEdit());
                        box->lineEdit()->setText(text);
                    } else {
                        box->setCurrentIndex(index);
                    }
                },
                whole};
    }
    if (auto* bar = qobject_cast<QStatusBar*>(control)) {
        const QString text = bar->currentMessage();
        return {text, [bar] { bar->clearMessage(); }, [bar, text] { bar->showMessage(text); }, whole};
    }
    if (auto* bar = qobject_cast<QMenuBar*>(control)) {
        QStringList texts;
        for (QAction* action : bar->actions())
            texts << action->text();
        return {texts.join(' '),
                [bar] {
                    for (QAction* action : bar->actions())
                        action->setText({});
                },
                [bar, texts] {
                    const QList<QAction*> actions = bar->actions();
                    for (qsizetype i = 0; i < actions.size(); ++i)
                        actions[i]->setText(texts[i]);
                },
                whole};
    }
    return {};
}

QImage render(QWidget* window)
{
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

std::vector<MeasuredText> MeasureTextContrast(QWidget* window)
{
    std::vector<MeasuredText> measured;
    // A blinking text cursor is no text of its own.
    const QPointer<QWidget> focused = window->focusWidget();
    if (focused)
        focused->clearFocus();
    const QImage shown = render(window);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window))
            continue;
        const Removal removal = removalFor(control);
        if (removal.text.isEmpty())
            continue;
        removal.remove();
        const QImage without = render(window);
        removal.restore();

        const QRect area =
            QRect(control->mapTo(window, removal.area.topLeft()), removal.area.size()).intersected(shown.rect());
        double best = 1.0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb text = shown.pixel(x, y);
                const QRgb background = without.pixel(x, y);
                if (text != background)
                    best = std::max(best, ContrastRatio(QColor(text), QColor(background)));
            }
        }
        const QString name = control->objectName().isEmpty()
                                 ? QString(control->metaObject()->className()) + " \"" + removal.text + "\""
                                 : control->objectName();
        measured.push_back({name, removal.text, best});
    }
    if (focused)
        focused->setFocus();
    return measured;
}

QPalette DarkPalette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor field(0x24, 0x24, 0x24);
    const QColor text(0xee, 0xee, 0xee);
    QPalette palette(window);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, field);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    return palette;
}
