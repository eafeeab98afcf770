#pragma once

#include <QIcon>
#include <QString>

// What the backends name the program by.
struct ProgramIdentity {
    QString title; // the lock file, the autostart entry and the sound client are named after it
    QString appId; // the desktop id, also the icon's name
    QIcon icon;    // shown in the notification area
};

// Creates the Linux backend of every service and installs them into services() for the process.
void InstallLinuxServices(const ProgramIdentity& program);
// Gives up the single-copy claim as the program ends, so no lock file outlives it.
void ReleaseLinuxServices();
