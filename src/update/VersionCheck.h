#pragma once

#include <QByteArray>
#include <QString>

// True when `running` sorts before `published` in an ordinal comparison: byte by byte by code,
// case-sensitive, a proper prefix sorting first. So "1.0.10" is older than "1.0.9", as the update
// site has always been read.
bool NewerVersionPublished(const QByteArray& running, const QByteArray& published);

// True for runs of digits joined by single points ("1.0.1").
bool IsVersionNumber(const QByteArray& text);

// "A newer version is available." or "Your version is newest available.", from the first line of
// "version.dat" less its trailing spaces; VersionCheckFailedText() when that is no version number.
QString VersionCheckOutcome(const QByteArray& running, const QByteArray& publishedFirstLine);

// Shown when "version.dat" is missing, unreadable or holds no version number after the download.
QString VersionCheckFailedText();

// The whole check: fetches "version.dat" from the update site, reads its first line and returns the
// text to show the user.
QString RunVersionCheck();
