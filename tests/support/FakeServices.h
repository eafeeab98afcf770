#pragma once

#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/ClockSetter.h"
#include "platform/InstanceGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/SettingsRegistry.h"
#include "platform/ShellOpener.h"
#include "platform/Sleeper.h"
#include "platform/SoundPlayer.h"
#include "platform/SystemBell.h"
#include "platform/TrayIcon.h"
#include "support/FakeDaytimeClient.h"
#include "support/FakeHttpClient.h"
#include "support/FakeNtpClient.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class FakeSettingsRegistry final : public SettingsRegistry {
public:
    bool companyKey = false;
    bool settingsKey = false;
    QMap<QString, QString> values; // value names as written; lookups ignore case
    QString failure;               // when set, the store cannot be created or written, for this reason
    bool companyKeyExists() const override { return companyKey; }
    QString createKeys() override;
    QString readValue(const QString& valueName) const override;
    QString writeValue(const QString& valueName, const QString& text) override;
    QString readProblem; // told once, as a settings file that cannot be read would be
    QString takeReadProblem() override { return std::exchange(readProblem, QString()); }
    // Seeds a configured user: both keys and the given values.
    void seed(const QMap<QString, QString>& stored);
};

class FakeInstanceGuard final : public InstanceGuard {
public:
    bool otherCopy = false;
    bool anotherCopyRunning() override { return otherCopy; }
};

struct ShownMessage {
    QString text;
    QString caption;
    MessageIcon icon;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    std::vector<ShownMessage> shown;
    std::function<void(const ShownMessage&)> onShow; // runs while the "box" is up
    void show(const QString& text, const QString& caption, MessageIcon icon) override;
};

class FakeBell final : public SystemBell {
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

// Sleeping advances the fake clock (when given) instead of waiting.
class FakeClock;
class FakeSleeper final : public Sleeper {
public:
    std::vector<int> sleeps;
    FakeClock* clock = nullptr;
    std::function<void(int)> onSleep;
    void sleepMs(int milliseconds) override;
};

class FakeClock final : public Clock {
public:
    QDateTime now = QDateTime(QDate(2004, 7, 5), QTime(14, 23, 5, 7));
    QDateTime nowLocal() const override { return now; }
};

class FakeClockSetter final : public ClockSetter {
public:
    std::vector<QDateTime> setTimes; // UTC instants handed over, in order
    std::vector<qint64> shifts;      // microseconds, in order
    ClockSetResult answer{ClockSetOutcome::Done, {}};
    ClockSetResult setUtc(const QDateTime& utc) override
    {
        setTimes.push_back(utc);
        return answer;
    }
    ClockSetResult shiftBy(qint64 microseconds) override
    {
        shifts.push_back(microseconds);
        return answer;
    }
};

class FakeSoundPlayer final : public SoundPlayer {
public:
    QStringList played; // full paths, in order
    void play(const QString& filePath) override { played << filePath; }
};

class FakeShellOpener final : public ShellOpener {
public:
    QStringList opened;
    void open(const QString& target) override { opened << target; }
};

class FakeAutostart final : public Autostart {
public:
    bool enabled = false;
    QString command;
    int disableCalls = 0;
    void enable(const QString& executablePath) override
    {
        enabled = true;
        command = executablePath;
    }
    void disable() override
    {
        enabled = false;
        command.clear();
        ++disableCalls;
    }
    bool exists() const override { return enabled; }
};

class FakeTrayIcon final : public TrayIcon {
public:
    bool hasTray = true; // false: a desktop without a notification area
    bool present = false;
    QString tip;
    int adds = 0; // every add asked for, refused ones included
    int removes = 0;
    std::function<void(int)> handler;
    bool shown() const override { return hasTray && present; }
    void add(const QString& text) override;
    void remove() override;
    void setNotificationHandler(std::function<void(int)> receiver) override { handler = std::move(receiver); }
    // A mouse message over the icon, as the desktop delivers it; nothing when the icon is not shown.
    void notify(int code);
};

// Every service faked, installed into services() for the object's lifetime, with the app folder given.
class FakeServices final {
public:
    explicit FakeServices(const QString& appDir = {});
    ~FakeServices();
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    FakeSettingsRegistry registry;
    FakeHttpClient http;
    FakeDaytimeClient daytime;
    FakeNtpClient ntp;
    FakeInstanceGuard instance;
    FakeMessageBoxes messages;
    FakeBell bell;
    FakeSleeper sleeper;
    FakeClock clock;
    FakeClockSetter clockSetter;
    FakeSoundPlayer sound;
    FakeShellOpener shell;
    FakeAutostart autostart;
    FakeTrayIcon tray;
};
