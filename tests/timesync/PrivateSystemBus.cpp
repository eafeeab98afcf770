#include "PrivateSystemBus.h"

#include <QFile>

namespace {

// Everyone may own any name and talk to anyone: the bus exists only for one test process.
constexpr const char* BusConfig = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)";

constexpr int StartWaitMs = 10'000;

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

PrivateSystemBus::PrivateSystemBus()
{
    const QString configPath = dir_.filePath("system.conf");
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly)) {
        error_ = "cannot write " + configPath;
        return;
    }
    config.write(QString(BusConfig).arg(dir_.path()).toUtf8());
    config.close();

    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.start(DBUS_DAEMON_PATH, {"--config-file=" + configPath, "--nofork", "--print-address"});
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(StartWaitMs)) {
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        error_ = "dbus-daemon did not start: " + QString::fromLocal8Bit(daemon_.readAllStandardError());
}

PrivateSystemBus::~PrivateSystemBus()
{
    stop(daemon_);
}

FakeTimedated::FakeTimedated(const QString& busAddress, const QString& answer)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(FAKE_TIMEDATED_PATH, {busAddress, answer});
    while (!process_.canReadLine() && process_.waitForReadyRead(StartWaitMs)) {
    }
    ready_ = process_.readLine().trimmed() == "ready";
}

FakeTimedated::~FakeTimedated()
{
    stop(process_);
}

QStringList FakeTimedated::calls()
{
    // The fake prints before it replies, so a call already answered is already in the pipe.
    process_.waitForReadyRead(100);
    while (process_.canReadLine())
        calls_ << QString::fromLocal8Bit(process_.readLine()).trimmed();
    return calls_;
}
