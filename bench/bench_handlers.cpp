// Times one weather refresh and one synchronisation through the real window handlers, the real
// HTTP, daytime and NTP clients and local fake services. The clock is never set: a recording fake stands in for it.
// Prints figures; asserts nothing.
#include "platform/Services.h"
#include "platform/linux/SystemClock.h"
#include "platform/qt/EventLoopSleeper.h"
#include "platform/qt/QtDaytimeClient.h"
#include "platform/qt/QtHttpClient.h"
#include "platform/qt/QtNtpClient.h"
#include "settings/AppSettings.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"
#include "support/FakeServices.h"
#include "timesync/AtomicTime.h"
#include "timesync/RequestPacing.h"
#include "weather/ObservationSources.h"
#include "widgets/Lifetime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long peakKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir appDir;
    FakeServices fakes(appDir.path());
    QtHttpClient http;
    QtDaytimeClient daytime;
    EventLoopSleeper sleeper;
    services().http = &http;
    services().daytime = &daytime;
    QtNtpClient ntp;
    services().ntp = &ntp;
    SystemClock clock; // the API's records must not look as if they came from the future
    services().clock = &clock;
    services().sleeper = &sleeper;
    Lifetime::setEndHandlers([] {}, [] {});
    fakes.registry.seed({{"My Name", "Bench"},
                         {"Station", "KBNA"},
                         {"Time Server", "time.nist.gov"},
                         {"Sound", "0"},
                         {"Splash", "0"},
                         {"UTC", "1"}});
    Main();
    frmMain* form = LoadedMainForm();
    if (!form) {
        std::puts("the main window did not load");
        return 1;
    }

    std::vector<double> refresh, sync, apiFirst, apiLater;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        form->cmdGetWeather_Click();
        refresh.push_back(timer.nsecsElapsed() / 1e6);
    }
    // KPWM: the feed and the forecast host answer 404, the API answers. The first refresh of a run
    // goes down the chain; later ones start with the API, which answered last.
    const QString feedStatus = form->statusText();
    AppSettings.Station = "KPWM";
    for (int i = 0; i < runs; ++i) {
        WeatherSources() = ObservationSources();
        for (std::vector<double>* figures : {&apiFirst, &apiLater}) {
            QElapsedTimer timer;
            timer.start();
            form->cmdGetWeather_Click();
            figures->push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    const QString apiStatus = form->statusText();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        form->cmdSynchronize_Click();
        sync.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("weather refresh, press to \"Ready\": median %.1f ms over %d runs (status: %s)\n", median(refresh),
                runs, qPrintable(feedStatus));
    std::printf("weather refresh through the API (feed and forecast host gone): first of a run median %.1f ms, "
                "later ones median %.1f ms over %d runs (status: %s)\n",
                median(apiFirst), median(apiLater), runs, qPrintable(apiStatus));
    std::printf("synchronisation, press to \"Ready\": median %.1f ms over %d runs, clock shifted %zu times (fake)\n",
                median(sync), runs, fakes.clockSetter.shifts.size());
    std::printf("  (a synchronisation asks one server twice; the second request waits out NIST's 4 s rule)\n");
    // The NTP exchange alone, with the pacing out of the way: what it costs beyond its own round trip.
    TimeServerPacing() = RequestPacing([] {
        static qint64 steps = 0;
        return steps += 10'000;
    });
    std::vector<double> exchange, beyondRoundTrip;
    for (int i = 0; i < runs * 4; ++i) {
        QElapsedTimer timer;
        timer.start();
        const SyncOutcome outcome = SyncLocalTime(AppSettings.TimeServer, SyncMethod::Precise);
        const double elapsed = timer.nsecsElapsed() / 1e6;
        if (!outcome.measured)
            continue;
        exchange.push_back(elapsed);
        beyondRoundTrip.push_back(elapsed - outcome.measured->delayUs / 1e3);
    }
    if (exchange.empty())
        std::puts("NTP synchronisation: no answer from the NTP server");
    else
        std::printf("NTP synchronisation without pacing: median %.2f ms, of it beyond the round trip median %.2f ms "
                    "(max %.2f) over %zu runs\n",
                    median(exchange), median(beyondRoundTrip),
                    *std::max_element(beyondRoundTrip.begin(), beyondRoundTrip.end()), exchange.size());
    std::printf("handler process peak memory: %ld KiB\n", peakKiB());
    UnloadMainForm();
    return 0;
}
