#pragma once

#include <QStringList>

// The public NIST daytime servers offered in the preferences, in their fixed order; the first is the
// default. Bare host names: the request adds the scheme and the port.
QStringList TimeServerNames();
