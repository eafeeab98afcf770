#include "core/DisplayCheck.h"

#include <QByteArray>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace {
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
QList<HeldMessage> heldMessages;

QString firstLine(const QString& text)
{
    return text.trimmed().section('\n', 0, 0).trimmed();
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        heldMessages.append({type, context.category, text});
        return;
    }
    QStringList warnings;
    for (const HeldMessage& held : heldMessages)
        warnings << held.text;
    const QString line = NoDisplayLine(text, warnings, !qEnvironmentVariableIsEmpty("DISPLAY"),
                                       !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
    std::fputs(qPrintable(line + '\n'), stderr);
    std::fflush(stderr);
    // Nothing half-built may run its clean-up, and no core dump is wanted: end here.
    std::_Exit(1);
}
} // namespace

PlatformStartGuard::PlatformStartGuard()
{
    heldMessages.clear();
    previousHandler = qInstallMessageHandler(holdOrEnd);
}

PlatformStartGuard::~PlatformStartGuard()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& held : std::as_const(heldMessages)) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        previousHandler(held.type, context, held.text);
    }
    heldMessages.clear();
}

QString NoDisplayLine(const QString& fatalMessage, const QStringList& warnings, bool displaySet, bool waylandDisplaySet)
{
    const QString start = QStringLiteral("Tolvane cannot open its window: ");
    if (!displaySet && !waylandDisplaySet)
        return start + "no display (neither DISPLAY nor WAYLAND_DISPLAY is set).";
    for (const QString& warning : warnings)
        if (!firstLine(warning).isEmpty())
            return start + firstLine(warning) + ".";
    return start + firstLine(fatalMessage);
}
