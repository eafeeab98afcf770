#include "shell/frmMain.h"

#include "cues_and_links/Cues.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "settings/AppSettings.h"
#include "weather/ObservationAge.h"
#include "weather/ObservationSources.h"
#include "weather/WeatherCaptions.h"
#include "weather/WeatherFiles.h"
#include "widgets/ElidingLabel.h"
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

void showCaptions(frmMain& form, const WeatherCaptions& shown)
{
    SetPlainCaption(form.txtWeather, shown.weather);
    SetPlainCaption(form.txtTemp, shown.temp);
    SetPlainCaption(form.txtObservation, shown.observation);
    SetPlainCaption(form.txtDewpoint, shown.dewpoint);
    SetPlainCaption(form.txtHumidity, shown.humidity);
    SetPlainCaption(form.txtVisibility, shown.visibility);
    SetPlainCaption(form.txtPressure, shown.pressure);
    SetPlainCaption(form.txtWind, shown.wind);
    form.fraWeather->setTitle(withoutMnemonics(shown.frame));
    // The picture shows the condition: screen readers are told which.
    form.imgWeather->setAccessibleDescription(shown.weather);
}

// The age of the observation on show, worked out afresh at each refresh: data kept after a failed
// refresh grows older and gets its mark.
void showObservationAge(frmMain& form)
{
    if (!form.shownObservation)
        return;
    const QDateTime now = services().clock ? services().clock->nowLocal() : QDateTime::currentDateTime();
    form.observationMark = ObservationAgeMark(form.shownObservation->observedAt, now);
    // The mark stays whole when a long caption is shortened.
    form.txtObservation->setCaption(form.shownObservation->caption, form.observationMark);
    form.txtObservation->setToolTip(ObservationTooltip(*form.shownObservation, now));
}

} // namespace

void frmMain::cmdGetWeather_Click()
{
    // The hourglass is for a window on screen: while it loads, hidden, nothing points at it.
    const bool hourglass = isVisible();
    if (hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString station = AppSettings.Station;
    setStatus("Retrieving weather data from " + station);

    const FetchedObservation fetched = WeatherSources().fetch(station);
    if (fetched.document) {
        const QByteArray observationText = StoreObservation(*fetched.document);
        const WeatherCaptions shown = WeatherCaptionsFor(observationText);
        showCaptions(*this, shown);
        showWeatherPicture(WeatherPicturePath(shown.picture));
        shownObservation = ShownObservation{fetched.source, shown.observedAt, shown.observation};
    } else if (!shownObservation) {
        // Nothing received yet: the notice, and no picture that would pass for fair weather.
        showCaptions(*this, WeatherCaptionsFor({}));
        showWeatherPicture({});
    }
    showObservationAge(*this);

    if (hourglass)
        QApplication::restoreOverrideCursor();
    if (AppSettings.soundOn())
        PlayCue("thunder.wav");
    weatherDataMissing = !fetched.document;
    setStatus(fetched.document ? QStringLiteral("Ready") : NoWeatherDataStatus(station, FailureText(fetched.failure)));
}
