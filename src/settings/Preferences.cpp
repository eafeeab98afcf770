#include "settings/Preferences.h"

#include "core/ProgramInfo.h"
#include "core/Text.h"
#include "platform/Autostart.h"
#include "platform/Services.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <algorithm>

namespace {
QString flag(bool checked)
{
    return checked ? "1" : "0";
}

// Writes the values in order and stops at the first that cannot be written; its error, or empty.
QString writeAll(std::initializer_list<std::pair<const QString&, const QString&>> values)
{
    for (const auto& [name, text] : values)
        if (QString error = WriteSetting(name, text); !error.isEmpty())
            return error;
    return {};
}
} // namespace

SaveResult SavePreferences(const PreferencesChoices& choices, const AppSettingsRecord& current)
{
    // The keys come first, even when the name is then refused.
    QString error = EnsureSettingsKeys();
    if (choices.name.isEmpty())
        return {SaveOutcome::NameMissing, current, "Please personalize " + Program::Title + " with your name."};

    AppSettingsRecord saved = current;
    saved.Station = StationCode(choices.stationText);
    saved.TimeServer = choices.timeServerText;
    saved.MyName = TrimSpaces(choices.name);
    if (error.isEmpty())
        error = writeAll({{SettingName::MyName, saved.MyName},
                          {SettingName::State, saved.State},
                          {SettingName::Station, saved.Station},
                          {SettingName::TimeServer, saved.TimeServer}});
    if (error.isEmpty()) {
        if (choices.autorun)
            services().autostart->enable(services().executablePath);
        else
            services().autostart->disable();
        saved.Sound = flag(choices.sound);
        saved.Splash = flag(choices.splash);
        saved.Update = flag(choices.update);
        saved.UTC = flag(choices.utc);
        saved.PreciseTime = flag(choices.preciseTime);
        error = writeAll({{SettingName::Sound, saved.Sound},
                          {SettingName::Splash, saved.Splash},
                          {SettingName::Update, saved.Update},
                          {SettingName::UTC, saved.UTC},
                          {SettingName::PreciseTime, saved.PreciseTime}});
    }
    if (!error.isEmpty())
        return {SaveOutcome::NotWritten, current, "Your preferences could not be saved: " + error};
    return {SaveOutcome::Saved, saved, {}};
}

QString StationCode(const QString& entryText)
{
    return entryText.contains('=') ? entryText.section('=', 1, 1) : QString();
}

QStringList SortedForListBox(QStringList items)
{
    // Ties between spellings that differ only in case keep a fixed order.
    std::sort(items.begin(), items.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return items;
}
