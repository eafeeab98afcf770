#pragma once

// Creates the Linux backend of every service and installs them into services() for the process.
void InstallLinuxServices();
