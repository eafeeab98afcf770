#pragma once

#include <QString>

namespace TestEnvironment {
// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR at a fresh temporary
// folder that is removed when the process exits. Call before any Qt object is created.
void isolateHome();
// The temporary home made by isolateHome().
QString home();
} // namespace TestEnvironment
