#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <limits>

// Bounds of one pack check, so that start-up can neither hang on the update site nor fill the disk.
inline constexpr int PackCheckBudgetMs = 10'000;                // all its requests together
inline constexpr qint64 PackCheckMaxBytes = 32LL * 1024 * 1024; // all its reply bodies together
// No download leaves less than this free on the data folder's disk, so that the desktop and other
// programs keep room to work (the packs themselves are well under a megabyte).
inline constexpr qint64 FreeSpaceFloorBytes = 64LL * 1024 * 1024;

// What a run of downloads may still spend. Every request gives up by `deadline`; once the site has
// timed out or could not be reached, or the bytes are spent, nothing more is asked.
struct UpdateBudget {
    QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    qint64 bytesLeft = std::numeric_limits<qint64>::max();
    qint64 freeSpaceFloor = FreeSpaceFloorBytes;
    bool siteUnreachable = false;

    bool spent() const { return siteUnreachable || bytesLeft <= 0 || deadline.hasExpired(); }
};

// The budget of one pack check, counted from now.
UpdateBudget PackCheckBudget();

// "http://" + the update host (a build setting) + "/update/".
QString UpdateBaseUrl();

// True for a name that can only mean a file inside the folder it is joined to: not empty, not "." or
// "..", no separator of either kind ('\' or '/'), no control character, none of the characters a
// Windows file name cannot hold (< > : " | ? *). Lists from the update site are fetched over plain
// HTTP, so every name taken from one must pass this test.
bool IsPlainFileName(const QString& name);

// What a file from the update site must be before it is stored: a list ("images.dat", "media.dat")
// names at least one plain file name and has no line holding "<" or ">" (an HTML page, such as a
// captive portal's, is no list; other lines that are no plain file name are skipped by its reader); a
// picture is a JPEG whose header decodes; a sound is a RIFF/WAVE file.
bool IsPackList(const QList<QByteArray>& lines);
bool IsJpegPicture(const QByteArray& bytes);
bool IsWaveSound(const QByteArray& bytes);

// Fetches UpdateBaseUrl() + name (as it stands, backslashes and all, with the agent "vb wininet" and
// no proxy) and stores it as AppDir + "\" + name, replacing any file there. Two kinds of name are taken:
//  - a plain file name ("version.dat", "images.dat", "media.dat"): a text file, stored with CR LF
//    appended as the program's text files are;
//  - "\images\" or "\media\" + a plain file name: a pack file, stored byte for byte.
// Anything else is refused without a request. Nothing is reported. The destination stays as it was
// unless a whole 2xx reply arrived that is what its name says (a list, a picture in "\images\", a
// sound in "\media\") and leaves at least FreeSpaceFloorBytes free on the disk; it is then replaced
// through a temporary file, so a failed fetch leaves no file for later starts to take as complete.
// A destination folder that does not exist is not created, and then no request is made.
// True when the file was received whole and stored; callers that only fill gaps may ignore it.
bool GetUpdateFile(const QString& name);

enum class UpdateFetch {
    Stored,
    Failed,        // nothing whole arrived, or it could not be stored: asking again later may help
    NotWhatItSays, // a whole 2xx reply that is not what the name says (an error page sent with 200)
};

// The same within `budget`, which it charges with the time and the bytes received, for a destination
// the caller has already found on disk (a path as FileSystem::resolve gives it), so that filling a
// pack folder searches no folder per file. Nothing is asked once the budget is spent.
UpdateFetch GetUpdateFile(const QString& name, UpdateBudget& budget, const QString& destination);
