#pragma once

// The start-up step that keeps the picture and sound packs complete: for "Images" and then "Media",
// creates a missing folder, fetches a missing list ("images.dat", "media.dat") and then every listed
// file that is missing, one request each, in list order. Empty lines and names that are not plain
// file names are skipped. Never fails: start-up goes on whatever the site or the disk does.
// An installed program first seeds its data folder from the packs it ships.
void RunPackCheck();
