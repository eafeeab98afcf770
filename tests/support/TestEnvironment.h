#pragma once

#include <QString>

namespace TestEnvironment {
// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR at a fresh temporary
// folder that is removed when the process exits. Call before any Qt object is created.
void isolateHome();
// The temporary home made by isolateHome().
QString home();
// Whether the process runs in a private network namespace whose only interface is loopback (see
// tests/e2e/in_sandbox.sh): only there may a test use port 13, real host names, or look a name up.
bool inPrivateNetwork();
} // namespace TestEnvironment
