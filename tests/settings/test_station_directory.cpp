#include "settings/StateList.h"
#include "settings/StationDirectory.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString codeOf(const QString& entry)
{
    return entry.section('=', 1);
}

// Every entry of the directory, walking the groups through the state list.
QStringList allEntries()
{
    QStringList entries;
    for (const QString& state : StateNames())
        entries += StationDirectoryEntries(state);
    return entries;
}

} // namespace

TEST(StateList, HoldsFiftyFourDistinctNamesWithTennesseeAtIndex44)
{
    const QStringList& names = StateNames();
    ASSERT_EQ(names.size(), 54);
    EXPECT_EQ(names.at(0), "Alaska");
    EXPECT_EQ(names.at(44), "Tennessee");
    EXPECT_EQ(names.at(53), "Wyoming");
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 54);
}

TEST(StateList, IsOrderedByPostalAbbreviation)
{
    const QHash<QString, QString> postal = {
        {"Alabama", "AL"},        {"Alaska", "AK"},       {"American Samoa", "AS"}, {"Arizona", "AZ"},
        {"Arkansas", "AR"},       {"California", "CA"},   {"Colorado", "CO"},       {"Connecticut", "CT"},
        {"Delaware", "DE"},       {"Florida", "FL"},      {"Georgia", "GA"},        {"Guam", "GU"},
        {"Hawaii", "HI"},         {"Idaho", "ID"},        {"Illinois", "IL"},       {"Indiana", "IN"},
        {"Iowa", "IA"},           {"Kansas", "KS"},       {"Kentucky", "KY"},       {"Louisiana", "LA"},
        {"Maine", "ME"},          {"Maryland", "MD"},     {"Massachusetts", "MA"},  {"Michigan", "MI"},
        {"Minnesota", "MN"},      {"Mississippi", "MS"},  {"Missouri", "MO"},       {"Montana", "MT"},
        {"Nebraska", "NE"},       {"Nevada", "NV"},       {"New Hampshire", "NH"},  {"New Jersey", "NJ"},
        {"New Mexico", "NM"},     {"New York", "NY"},     {"North Carolina", "NC"}, {"North Dakota", "ND"},
        {"Ohio", "OH"},           {"Oklahoma", "OK"},     {"Oregon", "OR"},         {"Pennsylvania", "PA"},
        {"Puerto Rico", "PR"},    {"Rhode Island", "RI"}, {"South Carolina", "SC"}, {"South Dakota", "SD"},
        {"Tennessee", "TN"},      {"Texas", "TX"},        {"Utah", "UT"},           {"Vermont", "VT"},
        {"Virgin Islands", "VI"}, {"Virginia", "VA"},     {"Washington", "WA"},     {"West Virginia", "WV"},
        {"Wisconsin", "WI"},      {"Wyoming", "WY"},
    };
    QString previous;
    for (const QString& name : StateNames()) {
        ASSERT_TRUE(postal.contains(name)) << name.toStdString();
        EXPECT_LT(previous, postal.value(name)) << name.toStdString();
        previous = postal.value(name);
    }
}

TEST(StationDirectory, EveryStateNameKeysANonEmptyGroupAndTogetherTheyCoverTheDirectory)
{
    EXPECT_EQ(StationDirectoryGroupCount(), 54);
    for (const QString& state : StateNames())
        EXPECT_FALSE(StationDirectoryEntries(state).isEmpty()) << state.toStdString();
    EXPECT_EQ(allEntries().size(), StationDirectoryEntryCount());
}

TEST(StationDirectory, GroupSizes)
{
    const struct {
        const char* state;
        int size;
    } cases[] = {
        {"Alaska", 132},       {"Texas", 123},    {"California", 114},
        {"American Samoa", 1}, {"Minnesota", 86}, {"Tennessee", 13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StationDirectoryEntries(c.state).size(), c.size) << c.state;
}

TEST(StationDirectory, EveryCodeOccursOnce)
{
    QSet<QString> codes;
    for (const QString& entry : allEntries()) {
        EXPECT_FALSE(codes.contains(codeOf(entry))) << entry.toStdString();
        codes.insert(codeOf(entry));
    }
    EXPECT_EQ(codes.size(), 1770);
    EXPECT_EQ(StationDirectoryEntryCount(), 1770);
}

TEST(StationDirectory, EveryEntryIsANonEmptyNameOneEqualsSignAndACode)
{
    const QRegularExpression code("^[A-Z0-9]{4}$");
    for (const QString& entry : allEntries()) {
        SCOPED_TRACE(entry.toStdString());
        EXPECT_EQ(entry.count('='), 1);
        EXPECT_FALSE(entry.section('=', 0, 0).trimmed().isEmpty());
        if (codeOf(entry) != "KFKA) ") { // the odd Minnesota entry, kept as the original had it
            EXPECT_TRUE(code.match(codeOf(entry)).hasMatch());
        }
    }
}

TEST(StationDirectory, CodesBeginWithTheLettersOfTheirRegion)
{
    const QHash<QString, QStringList> regional = {
        {"Alaska", {"P"}},
        {"Hawaii", {"P"}},
        {"Guam", {"PG", "PK", "PT"}},
        {"Puerto Rico", {"TJ", "TN", "TF", "TD", "TX"}},
        {"Virgin Islands", {"TI", "TK"}},
        {"American Samoa", {"N"}},
    };
    for (const QString& state : StateNames()) {
        // The 48 contiguous states all use "K".
        const QStringList prefixes = regional.value(state, {"K"});
        for (const QString& entry : StationDirectoryEntries(state)) {
            const QString code = codeOf(entry);
            const bool matches =
                std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return code.startsWith(p); });
            EXPECT_TRUE(matches) << state.toStdString() << ": " << entry.toStdString();
        }
    }
}

TEST(StationDirectory, FixedEntriesAreKeptWordForWord)
{
    const QStringList tennessee = {
        "Nashville International Airport=KBNA",
        "Chattanooga, Lovell Field=KCHA",
        "Clarksville, Outlaw Field Airport=KCKV",
        "Crossville Memorial-Whitson Field Airport=KCSV",
        "Dyersburg Automatic Weather Observing / Reporting=KDYR",
        "Memphis International Airport=KMEM",
        "Jackson, McKellar-Sipes Regional Airport=KMKL",
        "Smyrna=KMQY",
        "Millington Municipal Airport=KNQA",
        "Oak Ridge=KOQT",
        "Tri-Cities Airport=KTRI",
        "Knoxville, McGhee Tyson Airport=KTYS",
        "Morristown Nexrad=KMRX",
    };
    EXPECT_EQ(StationDirectoryEntries("Tennessee"), tennessee);
    EXPECT_EQ(StationDirectoryEntries("American Samoa"), QStringList{"Pago Pago=NSTU"});
    const QStringList minnesota = StationDirectoryEntries("Minnesota");
    ASSERT_FALSE(minnesota.isEmpty());
    EXPECT_EQ(minnesota.last(), "Peston-Fillmore Co Airport=KFKA) ");
    const QStringList alaska = StationDirectoryEntries("Alaska");
    ASSERT_FALSE(alaska.isEmpty());
    EXPECT_EQ(codeOf(alaska.first()), "PAFE");
    EXPECT_EQ(codeOf(alaska.last()), "PAML");
}

TEST(StationDirectory, LookupNeedsTheExactKey)
{
    for (const char* state : {"tennessee", "TENNESSEE", "Tennessee ", " Tennessee", "", "District of Columbia"})
        EXPECT_TRUE(StationDirectoryEntries(state).isEmpty()) << '"' << state << '"';
}
