#include "shell/frmMain.h"

#include "cues_and_links/Cues.h"
#include "settings/AppSettings.h"
#include "weather/Observation.h"
#include "weather/WeatherCaptions.h"
#include "weather/WeatherFiles.h"
#include "widgets/Placement.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

namespace {

// Captions come from the network: a frame title must not take an '&' as a mnemonic.
QString withoutMnemonics(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

void frmMain::cmdGetWeather_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString station = AppSettings.Station;
    setStatus("Retrieving weather data from " + station);

    const QByteArray reply = GetObservation(station);
    const QByteArray observationText = StoreObservation(reply);
    const WeatherCaptions shown = WeatherCaptionsFor(observationText);

    SetPlainCaption(txtWeather, shown.weather);
    SetPlainCaption(txtTemp, shown.temp);
    SetPlainCaption(txtObservation, shown.observation);
    SetPlainCaption(txtDewpoint, shown.dewpoint);
    SetPlainCaption(txtHumidity, shown.humidity);
    SetPlainCaption(txtVisibility, shown.visibility);
    SetPlainCaption(txtPressure, shown.pressure);
    SetPlainCaption(txtWind, shown.wind);
    fraWeather->setTitle(withoutMnemonics(shown.frame));
    showWeatherPicture(WeatherPicturePath(shown.picture));

    QApplication::restoreOverrideCursor();
    if (AppSettings.soundOn())
        PlayCue("thunder.wav");
    weatherDataMissing = !shown.anyFieldFound;
    setStatus(shown.anyFieldFound ? QStringLiteral("Ready") : NoWeatherDataStatus(station));
}
