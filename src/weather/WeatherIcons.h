#pragma once

#include <QString>

// The picture file (in the Images folder) for a condition phrase of the feed, or an empty string when
// the phrase is not in the table. The phrase must match an entry exactly: no trimming, no case folding.
QString GetWeatherIcon(const QString& condition);

// True when `picture` is one of the table's picture files.
bool IsConditionPicture(const QString& picture);
