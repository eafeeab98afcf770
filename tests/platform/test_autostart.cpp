#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Reads an Exec value back the way a desktop environment does: first the string escapes of the file
// format, then the quoting rules of the Exec key, then "%%" as a literal percent sign. Nothing here
// comes from the writer's code. nullopt when the value breaks the rules.
std::optional<QStringList> parseExec(const QString& value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            unescaped += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        const char c = value[i].toLatin1();
        if (c == 's')
            unescaped += ' ';
        else if (c == 'n')
            unescaped += '\n';
        else if (c == 't')
            unescaped += '\t';
        else if (c == 'r')
            unescaped += '\r';
        else if (c == '\\')
            unescaped += '\\';
        else
            return std::nullopt;
    }

    const QString reserved = " \t\n\"'\\><~|&;$*?#()`";
    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (c == ' ') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i == unescaped.size())
                    return std::nullopt; // unterminated quote
                if (unescaped[i] == '"')
                    break;
                if (unescaped[i] == '\\') {
                    if (++i == unescaped.size() || !QString("\"`$\\").contains(unescaped[i]))
                        return std::nullopt;
                }
                current += unescaped[i];
            }
        } else if (reserved.contains(c)) {
            return std::nullopt; // reserved characters only inside quotes
        } else {
            inArgument = true;
            current += c;
        }
    }
    if (inArgument)
        arguments << current;

    for (QString& argument : arguments) {
        QString literal;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] == '%') {
                if (i + 1 == argument.size() || argument[i + 1] != '%')
                    return std::nullopt; // a field code: none belongs in our entry
                ++i;
            }
            literal += argument[i];
        }
        argument = literal;
    }
    return arguments;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString execValue(const QString& entry)
{
    for (const QString& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            return line.mid(5);
    return {};
}

class AutostartTest : public testing::Test {
protected:
    QTemporaryDir configHome;
    XdgAutostart autostart{configHome.path(), "Tolvane", "io.github.orlentis.Tolvane"};
};

TEST_F(AutostartTest, EntryRunsTheExactProgramAndPassesTheValidator)
{
    QStringList paths = {
        "/opt/tolvane/tolvane",    "/home/ann/My Programs/Tolvane 1.0/tolvane",
        "/home/zoë/bin/tolvane",   "/tmp/100%/tolvane",
        "/tmp/a \"$`\\%b/tolvane",
    };
    for (QChar reserved : QString(" \t\n\"'\\><~|&;$*?#()`"))
        paths << QString("/tmp/a%1b/tolvane").arg(reserved);

    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        autostart.enable(path);
        const QString entry = readFile(configHome.path() + "/autostart/Tolvane.desktop");
        ASSERT_FALSE(entry.isEmpty());
        EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
        EXPECT_TRUE(entry.contains("\nType=Application\n"));
        EXPECT_TRUE(entry.contains("\nName=Tolvane\n"));

        const std::optional<QStringList> command = parseExec(execValue(entry));
        ASSERT_TRUE(command.has_value()) << execValue(entry).toStdString();
        EXPECT_EQ(*command, QStringList{path}) << execValue(entry).toStdString();

        QProcess validator;
        validator.start("desktop-file-validate", {autostart.entryFile()});
        ASSERT_TRUE(validator.waitForFinished(30000));
        const QString report = QString::fromUtf8(validator.readAllStandardOutput() + validator.readAllStandardError());
        EXPECT_EQ(validator.exitCode(), 0) << report.toStdString();
        EXPECT_FALSE(report.contains("error")) << report.toStdString();
    }
}

TEST_F(AutostartTest, EnablingAgainReplacesTheEntryAndDisablingRemovesIt)
{
    EXPECT_FALSE(autostart.exists());
    autostart.enable("/opt/old/tolvane");
    EXPECT_TRUE(autostart.exists());
    autostart.enable("/opt/new/tolvane");
    EXPECT_EQ(QDir(configHome.path() + "/autostart").entryList(QDir::Files), QStringList{"Tolvane.desktop"});
    EXPECT_EQ(execValue(readFile(autostart.entryFile())), "/opt/new/tolvane");

    autostart.disable();
    EXPECT_FALSE(QFile::exists(autostart.entryFile()));
    EXPECT_FALSE(autostart.exists());
    autostart.disable(); // nothing there: not an error, nothing created
    EXPECT_FALSE(QFile::exists(autostart.entryFile()));
}

TEST_F(AutostartTest, AnEntryMadeOutsideTheProgramCountsButOneOfAnotherNameIsNeitherSeenNorRemoved)
{
    ASSERT_TRUE(QDir().mkpath(configHome.path() + "/autostart"));
    QFile other(configHome.path() + "/autostart/tolvane.desktop");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    EXPECT_FALSE(autostart.exists()) << "the session manager matches the exact file name";

    QFile own(autostart.entryFile());
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    EXPECT_TRUE(autostart.exists());
    autostart.disable();
    EXPECT_EQ(QDir(configHome.path() + "/autostart").entryList(QDir::Files), QStringList{"tolvane.desktop"});
}

} // namespace
