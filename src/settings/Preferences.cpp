#include "settings/Preferences.h"

#include "platform/Autostart.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"

#include <algorithm>

namespace {
const QString ProgramTitle = "Tolvane";

QString flag(bool checked)
{
    return checked ? "1" : "0";
}
} // namespace

SaveOutcome SavePreferences(const PreferencesChoices& choices)
{
    // The keys come first, even when the name is then refused.
    EnsureSettingsKeys();
    if (choices.name.isEmpty()) {
        services().messages->show("Please personalize " + ProgramTitle + " with your name.", ProgramTitle,
                                  MessageIcon::None);
        return SaveOutcome::NameMissing;
    }

    AppSettings.Station = StationCode(choices.stationText);
    AppSettings.TimeServer = choices.timeServerText;
    AppSettings.MyName = TrimBlanks(choices.name);
    WriteSetting("My Name", AppSettings.MyName);
    WriteSetting("State", AppSettings.State);
    WriteSetting("Station", AppSettings.Station);
    WriteSetting("Time Server", AppSettings.TimeServer);

    if (choices.autorun)
        services().autostart->enable(services().executablePath);
    else
        services().autostart->disable();

    AppSettings.Sound = flag(choices.sound);
    WriteSetting("Sound", AppSettings.Sound);
    AppSettings.Splash = flag(choices.splash);
    WriteSetting("Splash", AppSettings.Splash);
    AppSettings.Update = flag(choices.update);
    WriteSetting("Update", AppSettings.Update);
    AppSettings.UTC = flag(choices.utc);
    WriteSetting("UTC", AppSettings.UTC);
    return SaveOutcome::Saved;
}

QString StationCode(const QString& entryText)
{
    return entryText.contains('=') ? entryText.section('=', 1, 1) : QString();
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == ' ')
        ++first;
    while (end > first && text[end - 1] == ' ')
        --end;
    return text.mid(first, end - first);
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
