#pragma once

#include <QString>

// The names of the stored values: the designed eight and "Precise Time".
namespace SettingName {
inline const QString MyName = QStringLiteral("My Name");
inline const QString State = QStringLiteral("State");
inline const QString Station = QStringLiteral("Station");
inline const QString TimeServer = QStringLiteral("Time Server");
inline const QString Sound = QStringLiteral("Sound");
inline const QString Splash = QStringLiteral("Splash");
inline const QString Update = QStringLiteral("Update");
inline const QString UTC = QStringLiteral("UTC");
inline const QString PreciseTime = QStringLiteral("Precise Time");
} // namespace SettingName
