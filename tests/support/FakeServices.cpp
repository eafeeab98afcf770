#include "support/FakeServices.h"

#include "platform/Services.h"

QString FakeSettingsRegistry::readValue(const QString& valueName) const
{
    if (!settingsKey)
        return {};
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.key().compare(valueName, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

QString FakeSettingsRegistry::createKeys()
{
    if (!failure.isEmpty())
        return failure;
    companyKey = settingsKey = true;
    return {};
}

QString FakeSettingsRegistry::writeValue(const QString& valueName, const QString& text)
{
    if (!failure.isEmpty())
        return failure;
    if (!settingsKey)
        return QStringLiteral("no settings key");
    for (auto it = values.begin(); it != values.end(); ++it)
        if (it.key().compare(valueName, Qt::CaseInsensitive) == 0) {
            it.value() = text;
            return {};
        }
    values.insert(valueName, text);
    return {};
}

void FakeSettingsRegistry::seed(const QMap<QString, QString>& stored)
{
    companyKey = settingsKey = true;
    values = stored;
}

void FakeMessageBoxes::show(const QString& text, const QString& caption, MessageIcon icon)
{
    shown.push_back({text, caption, icon});
    if (onShow)
        onShow(shown.back());
}

void FakeSleeper::sleepMs(int milliseconds)
{
    sleeps.push_back(milliseconds);
    if (clock)
        clock->now = clock->now.addMSecs(milliseconds);
    if (onSleep)
        onSleep(milliseconds);
}

void FakeTrayIcon::add(const QString& text)
{
    ++adds;
    if (present)
        return;
    present = true;
    tip = text;
}

void FakeTrayIcon::remove()
{
    ++removes;
    present = false;
}

void FakeTrayIcon::notify(int code)
{
    if (present && handler)
        handler(code);
}

FakeServices::FakeServices(const QString& appDir)
{
    sleeper.clock = &clock;
    Services& s = services();
    s = Services{};
    s.registry = &registry;
    s.http = &http;
    s.daytime = &daytime;
    s.ntp = &ntp;
    s.instance = &instance;
    s.messages = &messages;
    s.bell = &bell;
    s.sleeper = &sleeper;
    s.clock = &clock;
    s.clockSetter = &clockSetter;
    s.sound = &sound;
    s.shell = &shell;
    s.autostart = &autostart;
    s.tray = &tray;
    s.appDir = appDir;
    s.executablePath = appDir + "/tolvane";
}

FakeServices::~FakeServices()
{
    services() = Services{};
}
