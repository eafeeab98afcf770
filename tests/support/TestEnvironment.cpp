#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
QTemporaryDir*& tempHome()
{
    static QTemporaryDir* dir = nullptr;
    return dir;
}
} // namespace

void TestEnvironment::isolateHome()
{
    if (tempHome())
        return;
    tempHome() = new QTemporaryDir(QDir::tempPath() + "/tolvane-test-XXXXXX");
    std::atexit([] { delete tempHome(); });
    const QString root = tempHome()->path();
    const struct {
        const char* name;
        const char* sub;
    } folders[] = {{"HOME", ""},
                   {"XDG_CONFIG_HOME", "/.config"},
                   {"XDG_DATA_HOME", "/.local/share"},
                   {"XDG_CACHE_HOME", "/.cache"},
                   {"XDG_RUNTIME_DIR", "/run"}};
    for (const auto& folder : folders) {
        const QString path = root + folder.sub;
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(folder.name, path.toLocal8Bit());
    }
}

QString TestEnvironment::home()
{
    return tempHome() ? tempHome()->path() : QString();
}

bool TestEnvironment::inPrivateNetwork()
{
    QFile devices("/proc/net/dev");
    if (!devices.open(QIODevice::ReadOnly))
        return false;
    int interfaces = 0;
    for (const QByteArray& line : devices.readAll().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue; // the two heading lines
        if (line.left(colon).trimmed() != "lo")
            return false;
        ++interfaces;
    }
    return interfaces == 1;
}
