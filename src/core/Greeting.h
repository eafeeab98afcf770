#pragma once

#include <QString>

// "Late Night", "Good Morning", "Good Afternoon" or "Good Evening" for an hour from 0 to 23.
QString GreetingForHour(int hour);
// The greeting line for a name: "Good Morning Ann", or "Late Night with Ann".
QString GreetingLine(const QString& greeting, const QString& name);
// "Ann's Tolvane Version 1.0".
QString PersonalTitle(const QString& name, const QString& versionText);
