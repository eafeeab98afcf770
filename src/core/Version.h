#pragma once

#include <QString>

// The version as the main window's title shows it: "1.0", or "1.2 Revision 7" when the revision is not 0.
QString ComposeVersionText(int major, int minor, int revision);
// All three numbers: "1.0.0".
QString FullVersionText(int major, int minor, int revision);
// The running program's versions.
QString ProgramVersionText();
QString ProgramFullVersionText();

inline QString VersionText;
