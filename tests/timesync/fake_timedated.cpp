// A stand-in for systemd-timedated on a private bus: takes the name org.freedesktop.timedate1, prints
// every SetTime call it receives on standard output, one line each, and answers as told.
//
//     fake_timedated <bus address> ok|<D-Bus error name>[@<delay ms>]
//
// With a delay the answer comes that long after the call, as when polkit asks for a password.
// Printed: "ready" once the name is owned, then "SetTime <signature> <usec> <relative> <interactive>
// <interactive authorisation flag>" per call.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTimer>

#include <cstdio>

namespace {

class FakeTimedate final : public QDBusVirtualObject {
public:
    explicit FakeTimedate(const QString& answer)
        : answer_(answer.section('@', 0, 0)), delayMs_(answer.section('@', 1, 1).toInt())
    {
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != "org.freedesktop.timedate1" || message.member() != "SetTime")
            return false;
        QStringList words{"SetTime", message.signature()};
        for (const QVariant& argument : message.arguments())
            words << argument.toString();
        words << (message.isInteractiveAuthorizationAllowed() ? "interactive-flag" : "no-interactive-flag");
        std::printf("%s\n", qPrintable(words.join(' ')));
        std::fflush(stdout);
        const QDBusMessage reply =
            answer_ == "ok" ? message.createReply() : message.createErrorReply(answer_, "The fake refuses.");
        QTimer::singleShot(delayMs_, [connection, reply] { QDBusConnection(connection).send(reply); });
        return true;
    }

private:
    QString answer_;
    int delayMs_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: fake_timedated <bus address> ok|<error name>[@<delay ms>]\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), "fake_timedated");
    FakeTimedate timedate{QString::fromLocal8Bit(argv[2])};
    if (!bus.isConnected() || !bus.registerVirtualObject("/org/freedesktop/timedate1", &timedate) ||
        !bus.registerService("org.freedesktop.timedate1")) {
        std::fprintf(stderr, "fake_timedated: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
