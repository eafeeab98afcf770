#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

namespace {
// Characters that make an Exec argument need quotes.
const QString ReservedCharacters = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
// Characters that need a backslash inside the quotes.
const QString EscapedInQuotes = QStringLiteral("\"`$\\");

QString quotedArgument(const QString& argument)
{
    const bool needsQuotes =
        std::any_of(argument.cbegin(), argument.cend(), [](QChar c) { return ReservedCharacters.contains(c); });
    if (!needsQuotes)
        return argument;
    QString quoted = "\"";
    for (QChar c : argument) {
        if (EscapedInQuotes.contains(c))
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The escapes every string value of a desktop entry uses; applied last, so a reader undoes them first.
QString escapedStringValue(const QString& value)
{
    QString escaped;
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}
} // namespace

QString DesktopExecValue(const QString& executablePath)
{
    QString argument = quotedArgument(executablePath);
    argument.replace('%', "%%"); // a lone '%' would start a field code
    return escapedStringValue(argument);
}

XdgAutostart::XdgAutostart(const QString& configHome, const QString& title, const QString& iconName)
    : configHome_(configHome), title_(title), iconName_(iconName)
{
}

QString XdgAutostart::entryFile() const
{
    return configHome_ + "/autostart/" + title_ + ".desktop";
}

void XdgAutostart::enable(const QString& executablePath)
{
    const QStringList lines = {
        "[Desktop Entry]",
        "Type=Application",
        "Name=" + title_,
        "Comment=Weather and Internet time for your desktop",
        "Exec=" + DesktopExecValue(executablePath),
        "Icon=" + iconName_,
        "Terminal=false",
        "X-GNOME-Autostart-enabled=true",
    };
    const QString entry = lines.join('\n') + '\n';
    // Failures are not reported, as with every settings write. The exact file name matters to the
    // session manager, so the path is not matched without regard to case.
    QDir().mkpath(configHome_ + "/autostart");
    QSaveFile file(entryFile());
    if (file.open(QIODevice::WriteOnly) && file.write(entry.toUtf8()) >= 0)
        file.commit();
}

void XdgAutostart::disable()
{
    QFile::remove(entryFile());
}

bool XdgAutostart::exists() const
{
    return QFile::exists(entryFile());
}
