#pragma once

#include <QDeadlineTimer>
#include <QString>

// One pack check spends at most this long on the update site, all its requests together, so that
// start-up cannot hang on it.
inline constexpr int PackCheckBudgetMs = 10'000;

// What a run of downloads may still spend. Every request gives up by `deadline`; once the site has
// timed out or could not be reached, nothing more is asked.
struct UpdateBudget {
    QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    bool siteUnreachable = false;

    bool spent() const { return siteUnreachable || deadline.hasExpired(); }
};

// The budget of one pack check, counted from now.
UpdateBudget PackCheckBudget();

// "http://" + the update host (a build setting) + "/update/".
QString UpdateBaseUrl();

// True for a name that can only mean a file inside the folder it is joined to: not empty, not "." or
// "..", no separator of either kind ('\' or '/'), no control character. Lists from the update site
// are fetched over plain HTTP, so every name taken from one must pass this test.
bool IsPlainFileName(const QString& name);

// Fetches UpdateBaseUrl() + name (as it stands, backslashes and all, with the agent "vb wininet" and
// no proxy) and stores it as AppDir + "\" + name, replacing any file there. Two kinds of name are taken:
//  - a plain file name ("version.dat", "images.dat", "media.dat"): a text file, stored with CR LF
//    appended as the program's text files are;
//  - "\images\" or "\media\" + a plain file name: a pack file, stored byte for byte.
// Anything else is refused without a request. Nothing is reported. The destination stays as it was
// unless a whole 2xx reply arrived, and is then replaced through a temporary file, so a failed fetch
// leaves no file for later starts to take as complete. A destination folder that does not exist is
// not created, and then no request is made.
// True when the file was received whole and stored; callers that only fill gaps may ignore it.
bool GetUpdateFile(const QString& name);

// The same within `budget`, which it charges, for a destination the caller has already found on disk
// (a path as FileSystem::resolve gives it), so that filling a pack folder searches no folder per file.
// Nothing is asked once the budget is spent.
bool GetUpdateFile(const QString& name, UpdateBudget& budget, const QString& destination);
