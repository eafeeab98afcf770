#pragma once

#include "core/ProgramInfo.h"

#include <QString>

// The two web sites the program links to.
namespace Links {
constexpr const char* MakerSite = Program::MakerSite;
constexpr const char* WeatherServiceSite = "http://www.weather.gov";
} // namespace Links

// Opens a web address (or anything the desktop can open) with the user's default handler. Reports nothing.
void OpenLink(const QString& target);
