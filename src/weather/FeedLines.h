#pragma once

#include <QtGlobal>

// The lines (indexes from 0) on which the feed's current_observation document holds its elements:
// the refresh reads the captions from them, and a record of the API is written onto them.
namespace FeedLine {
inline constexpr qsizetype Location = 10;
inline constexpr qsizetype StationId = 11;
inline constexpr qsizetype ObservationTime = 14;
inline constexpr qsizetype Weather = 15;
inline constexpr qsizetype ObservationTimeRfc822 = 16;
inline constexpr qsizetype TempF = 17;
inline constexpr qsizetype TempC = 18;
inline constexpr qsizetype RelativeHumidity = 19;
inline constexpr qsizetype WindString = 20;
inline constexpr qsizetype WindDegrees = 22;
inline constexpr qsizetype WindMph = 23;
inline constexpr qsizetype WindGustMph = 24;
inline constexpr qsizetype WindKt = 25;
inline constexpr qsizetype PressureMb = 26;
inline constexpr qsizetype PressureIn = 27;
inline constexpr qsizetype DewpointC = 28;
inline constexpr qsizetype DewpointF = 29;
inline constexpr qsizetype IconUrlName = 38;
inline constexpr qsizetype Visibility = 40;
inline constexpr qsizetype Closing = 41; // </current_observation>, the last line
} // namespace FeedLine
