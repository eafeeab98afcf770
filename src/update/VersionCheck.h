#pragma once

#include <QByteArray>
#include <QString>

// True when `running` sorts before `published` in an ordinal comparison: byte by byte by code,
// case-sensitive, a proper prefix sorting first. So "1.0.10" is older than "1.0.9", as the update
// site has always been read.
bool NewerVersionPublished(const QByteArray& running, const QByteArray& published);

// "A newer version is available." or "Your version is newest available.".
QString VersionCheckOutcome(const QByteArray& running, const QByteArray& publishedFirstLine);

// Shown when "version.dat" is missing or unreadable after the download.
QString VersionCheckFailedText();

// The whole check: fetches "version.dat" from the update site, reads its first line and returns the
// text to show the user.
QString RunVersionCheck();
