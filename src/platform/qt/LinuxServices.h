#pragma once

// Creates the Linux backend of every service and installs them into services() for the process.
void InstallLinuxServices();
// Gives up the single-copy claim as the program ends, so no lock file outlives it.
void ReleaseLinuxServices();
