#pragma once
#include <QStringList>

// The 54 state and territory names in their fixed order (ordered by postal abbreviation).
const QStringList& StateNames();
