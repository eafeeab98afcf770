#pragma once

#include "platform/Autostart.h"

// The XDG autostart entry: <configHome>/autostart/Tolvane.desktop, a desktop entry that runs the
// program's executable when the user logs in.
class XdgAutostart final : public Autostart {
public:
    // The entry is <title>.desktop, named `title`, with the icon `iconName`.
    XdgAutostart(const QString& configHome, const QString& title, const QString& iconName);

    void enable(const QString& executablePath) override;
    void disable() override;
    bool exists() const override;

    QString entryFile() const;

private:
    QString configHome_;
    QString title_;
    QString iconName_;
};

// The Exec value that runs `executablePath` with no arguments, quoted and escaped as desktop entries
// require: double quotes around a path with reserved characters (backslash before '"', '`', '$' and
// '\' inside them), '%' doubled, then the string escapes of the file format applied.
QString DesktopExecValue(const QString& executablePath);
