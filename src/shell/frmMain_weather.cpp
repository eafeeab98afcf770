#include "shell/frmMain.h"

#include "cues_and_links/Cues.h"
#include "settings/AppSettings.h"
#include "weather/Observation.h"
#include "weather/WeatherCaptions.h"
#include "weather/WeatherFiles.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

namespace {

// Captions come from the network: shown as plain text, never as rich text or mnemonics.
void setPlainCaption(QLabel* label, const QString& text)
{
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
}

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
    const QList<QByteArray> observationLines = StoreObservation(reply);
    const WeatherCaptions shown = WeatherCaptionsFor(observationLines);

    setPlainCaption(txtWeather, shown.weather);
    setPlainCaption(txtTemp, shown.temp);
    setPlainCaption(txtObservation, shown.observation);
    setPlainCaption(txtDewpoint, shown.dewpoint);
    setPlainCaption(txtHumidity, shown.humidity);
    setPlainCaption(txtVisibility, shown.visibility);
    setPlainCaption(txtPressure, shown.pressure);
    setPlainCaption(txtWind, shown.wind);
    fraWeather->setTitle(withoutMnemonics(shown.frame));
    showWeatherPicture(WeatherPicturePath(shown.picture));

    QApplication::restoreOverrideCursor();
    if (AppSettings.soundOn())
        PlayCue("thunder.wav");
    weatherDataMissing = !shown.anyFieldFound;
    setStatus(shown.anyFieldFound ? QStringLiteral("Ready") : NoWeatherDataStatus(station));
}
