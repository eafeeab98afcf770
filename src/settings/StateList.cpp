#include "settings/StateList.h"

const QStringList& StateNames()
{
    // Ordered by postal abbreviation (AK, AL, AR, AS, ...), not by name; the station directory
    // keys its groups with the same names in the same order.
    static const QStringList names = {
        "Alaska",         "Alabama",       "Arkansas",      "American Samoa", "Arizona",        "California",
        "Colorado",       "Connecticut",   "Delaware",      "Florida",        "Georgia",        "Guam",
        "Hawaii",         "Iowa",          "Idaho",         "Illinois",       "Indiana",        "Kansas",
        "Kentucky",       "Louisiana",     "Massachusetts", "Maryland",       "Maine",          "Michigan",
        "Minnesota",      "Missouri",      "Mississippi",   "Montana",        "North Carolina", "North Dakota",
        "Nebraska",       "New Hampshire", "New Jersey",    "New Mexico",     "Nevada",         "New York",
        "Ohio",           "Oklahoma",      "Oregon",        "Pennsylvania",   "Puerto Rico",    "Rhode Island",
        "South Carolina", "South Dakota",  "Tennessee",     "Texas",          "Utah",           "Virginia",
        "Virgin Islands", "Vermont",       "Washington",    "Wisconsin",      "West Virginia",  "Wyoming",
    };
    return names;
}
