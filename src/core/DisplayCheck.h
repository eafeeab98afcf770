#pragma once

#include <QString>
#include <QStringList>

// Without a display Qt aborts the program (a core dump) after several lines of its own. While a
// PlatformStartGuard lives, Qt's messages are held back; a fatal one ends the program at once with
// the one line of NoDisplayLine on standard error and exit status 1. When the guard ends, the
// messages it held are passed on as usual.
class PlatformStartGuard final {
public:
    PlatformStartGuard();
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

// The one line that tells why no window can be opened: what the environment lacks, else the first
// thing Qt said (its warnings name the display it tried), else the first line of its fatal message.
QString NoDisplayLine(const QString& fatalMessage, const QStringList& warnings, bool displaySet,
                      bool waylandDisplaySet);
