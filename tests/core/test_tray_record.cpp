#include "core/TrayIconData.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

quint32 wordAt(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

TEST(TrayIconRecord, FixedFieldsLittleEndianAndTheWindowAndIcon)
{
    const QByteArray bytes = MakeNotifyIconRecord(0x01020304, 0xA0B0C0D0, "Tolvane").bytes();
    ASSERT_EQ(bytes.size(), 88);
    EXPECT_EQ(bytes.left(4), QByteArray("\x58\x00\x00\x00", 4)) << "cbSize 88, low byte first";
    EXPECT_EQ(wordAt(bytes, 4), 0x01020304u);
    EXPECT_EQ(wordAt(bytes, 8), 1u);
    EXPECT_EQ(wordAt(bytes, 12), 7u);
    EXPECT_EQ(wordAt(bytes, 16), 0x0200u);
    EXPECT_EQ(wordAt(bytes, 20), 0xA0B0C0D0u);
}

TEST(TrayIconRecord, TipIsTextOneNulThenSpacesCutToTheField)
{
    const QString sixtyThree(63, u'a');
    const QString sixtyFour(64, u'b');
    const QString seventy = QString(60, u'c') + "defghijklm";
    const struct {
        QString tip;
        QByteArray field;
        QString shown;
    } cases[] = {
        {"Tolvane", QByteArray("Tolvane") + '\0' + QByteArray(56, ' '), "Tolvane"},
        {"Ann's Tolvane", QByteArray("Ann's Tolvane") + '\0' + QByteArray(50, ' '), "Ann's Tolvane"},
        {"'s Tolvane", QByteArray("'s Tolvane") + '\0' + QByteArray(53, ' '), "'s Tolvane"},
        {"", QByteArray(1, '\0') + QByteArray(63, ' '), ""},
        {sixtyThree, sixtyThree.toLatin1() + '\0', sixtyThree},
        {sixtyFour, sixtyFour.toLatin1(), sixtyFour},
        {seventy, seventy.left(64).toLatin1(), seventy.left(64)},
        {"Zo\u00eb's Tolvane", QByteArray("Zo\xeb's Tolvane") + '\0' + QByteArray(50, ' '), "Zo\u00eb's Tolvane"},
    };
    for (const auto& c : cases) {
        const NotifyIconRecord record = MakeNotifyIconRecord(1, 2, c.tip);
        EXPECT_EQ(record.bytes().mid(24), c.field) << c.tip.toStdString();
        EXPECT_EQ(record.tip(), c.shown) << c.tip.toStdString();
    }
}

TEST(TrayIconRecord, ANameBeyondSingleByteCharactersKeepsItsTipButNotItsBytes)
{
    const NotifyIconRecord record = MakeNotifyIconRecord(1, 2, "\u0141ukasz's Tolvane");
    EXPECT_EQ(record.tip(), "\u0141ukasz's Tolvane") << "the desktop shows the name as written";
    EXPECT_EQ(record.bytes().mid(24, 18), QByteArray("?ukasz's Tolvane") + '\0' + ' ');
}

TEST(TrayNotification, OnlyDoubleClickAndRightButtonReleaseDoAnything)
{
    const struct {
        int code;
        TrayCommand command;
    } cases[] = {
        {0x0203, TrayCommand::Restore}, {0x0205, TrayCommand::PopUpMenu}, {0x0200, TrayCommand::None},
        {0x0201, TrayCommand::None},    {0x0202, TrayCommand::None},      {0x0204, TrayCommand::None},
        {0x0206, TrayCommand::None},    {0x0207, TrayCommand::None},      {0, TrayCommand::None},
        {440, TrayCommand::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrayCommandFor(c.code), c.command) << c.code;
}

} // namespace
