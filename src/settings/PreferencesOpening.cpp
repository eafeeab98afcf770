#include "settings/PreferencesOpening.h"

#include "settings/Preferences.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"
#include "settings/StateList.h"
#include "settings/StationDirectory.h"

namespace {
const QString InitialState = QStringLiteral("Tennessee");

// The entry of `state` whose station code is exactly `code`, or "".
QString entryWithCode(const QString& state, const QString& code)
{
    for (const QString& entry : StationDirectoryEntries(state))
        if (StationCode(entry) == code)
            return entry;
    return {};
}

// The listed state for the stored one; an unknown or missing state falls back to the state whose
// directory holds the stored station, then to the initial state.
QString openingState(const AppSettingsRecord& stored)
{
    if (StateNames().contains(stored.State))
        return stored.State;
    if (!stored.Station.isEmpty())
        for (const QString& state : StateNames())
            if (!entryWithCode(state, stored.Station).isEmpty())
                return state;
    return InitialState;
}

// A switch shows what its readers make of the stored value; only a missing value takes the initial state.
bool switchShown(const QString& stored, bool storedMeans, bool initial)
{
    return stored.isEmpty() ? initial : storedMeans;
}
} // namespace

AppSettingsRecord ReadStoredPreferences()
{
    AppSettingsRecord stored;
    stored.State = ReadSetting(SettingName::State);
    stored.Station = ReadSetting(SettingName::Station);
    stored.TimeServer = ReadSetting(SettingName::TimeServer);
    // The switches as the program reads them: by their first character.
    stored.Sound = ReadSetting(SettingName::Sound).left(1);
    stored.Splash = ReadSetting(SettingName::Splash).left(1);
    stored.Update = ReadSetting(SettingName::Update).left(1);
    stored.UTC = ReadSetting(SettingName::UTC).left(1);
    stored.PreciseTime = ReadSetting(SettingName::PreciseTime).left(1);
    return stored;
}

PreferencesOpening OpeningChoices(const AppSettingsRecord& stored, bool configured, bool autostartExists)
{
    PreferencesOpening opening;
    opening.state = openingState(stored);
    if (!stored.Station.isEmpty()) {
        opening.stationEntry = entryWithCode(opening.state, stored.Station);
        // Never replaced silently: a code the directory lacks is kept as an entry of its own.
        if (opening.stationEntry.isEmpty()) {
            opening.extraStationEntry = stored.Station + "=" + stored.Station;
            opening.stationEntry = opening.extraStationEntry;
        }
    }
    opening.timeServer = stored.TimeServer;
    // A first run offers the autostart entry, as designed; later the box shows what is there.
    opening.autorun = configured ? autostartExists : true;
    opening.sound = switchShown(stored.Sound, stored.soundOn(), true);
    opening.splash = switchShown(stored.Splash, stored.splashOn(), true);
    opening.update = switchShown(stored.Update, stored.updateOn(), true);
    opening.utc = switchShown(stored.UTC, stored.utc24Hour(), false);
    opening.preciseTime = stored.preciseTimeOn();
    return opening;
}
