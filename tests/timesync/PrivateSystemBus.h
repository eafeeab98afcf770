#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A dbus-daemon configured like a system bus but listening in a temporary folder, so that tests can
// offer and call system services without touching the machine's own bus.
class PrivateSystemBus final {
public:
    PrivateSystemBus();
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    // Empty when the daemon could not be started; error() then says why.
    QString address() const { return address_; }
    QString error() const { return error_; }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
};

// The fake_timedated program on a bus, answering SetTime with "ok" or the given D-Bus error name.
class FakeTimedated final {
public:
    FakeTimedated(const QString& busAddress, const QString& answer);
    ~FakeTimedated();
    FakeTimedated(const FakeTimedated&) = delete;
    FakeTimedated& operator=(const FakeTimedated&) = delete;

    bool ready() const { return ready_; }
    // The SetTime calls received so far, one line each (see fake_timedated.cpp).
    QStringList calls();

private:
    QProcess process_;
    bool ready_ = false;
    QStringList calls_;
};
