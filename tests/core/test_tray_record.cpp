#include "core/TrayIconData.h"

#include <gtest/gtest.h>

namespace {

TEST(TrayIconRecord, TipIsTheTextCutToTheField)
{
    const QString sixtyThree(63, u'a');
    const QString sixtyFour(64, u'b');
    const QString seventy = QString(60, u'c') + "defghijklm";
    const struct {
        QString tip;
        QString shown;
    } cases[] = {
        {"Tolvane", "Tolvane"},
        {"'s Tolvane", "'s Tolvane"},
        {"", ""},
        {sixtyThree, sixtyThree},
        {sixtyFour, sixtyFour},
        {seventy, seventy.left(64)},
        {"\u0141ukasz's Tolvane", "\u0141ukasz's Tolvane"},
    };
    for (const auto& c : cases) {
        const NotifyIconRecord record = MakeNotifyIconRecord(1, 2, c.tip);
        EXPECT_EQ(record.szTip.size(), NotifyIconRecord::TipWidth);
        EXPECT_EQ(record.tip(), c.shown) << c.tip.toStdString();
    }
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
