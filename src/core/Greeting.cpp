#include "core/Greeting.h"

#include "core/ProgramInfo.h"

QString GreetingForHour(int hour)
{
    if (hour >= 5 && hour <= 11)
        return "Good Morning";
    if (hour >= 12 && hour <= 17)
        return "Good Afternoon";
    if (hour >= 18 && hour <= 22)
        return "Good Evening";
    return "Late Night";
}

QString GreetingLine(const QString& greeting, const QString& name)
{
    if (greeting == "Late Night")
        return greeting + " with " + name;
    return greeting + " " + name;
}

QString PersonalTitle(const QString& name, const QString& versionText)
{
    return name + "'s " + Program::Title + " Version " + versionText;
}
