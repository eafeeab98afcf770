#pragma once

#include "update/UpdateSite.h"

// The start-up step that keeps the picture and sound packs complete: for "Images" and then "Media",
// creates a missing folder, fetches a missing list ("images.dat", "media.dat") and then every listed
// file that is missing, one request each, in list order. Empty lines and names that are not plain
// file names are skipped. Never fails: start-up goes on whatever the site or the disk does.
// All requests share `budget`: after the first time-out or unreachable answer, or once the time is
// up, nothing more is asked, and what is still missing is fetched at the next start.
// An installed program first seeds its data folder from the packs it ships.
void RunPackCheck(UpdateBudget budget = PackCheckBudget());
