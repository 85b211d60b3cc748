// Why a serial port that exists would not open: the account lacks the
// rights, or another program holds it. QSerialPort reports both as one
// permission error; the device's owner and mode, the account's groups and
// the lock files tell them apart.
#pragma once

#include "link/link_error.h"

#include <QString>

namespace kt {

// What the system says about one device and this account.
struct SerialAccess {
    bool readWrite = true;         // the account may open it for reading and writing
    QString group;                 // the group that owns the device ("dialout")
    bool groupMode = false;        // that group may read and write it
    bool accountListed = false;    // the group database lists the account in that group
    bool sessionHasGroup = false;  // this login session already carries that group
    qint64 lockPid = 0;            // a live lock file's owner, 0 when none
    QString lockProgram;           // its program name, where the lock file says
};

// Reads the facts for the device at path (a symbolic link is followed).
SerialAccess ProbeSerialAccess(const QString& path);

// What a permission error on the device means: NoAccess with the group to
// join (or to log in again for), or InUse with the holder when a lock file
// names one. The port and the system's text are the caller's to add.
LinkError PermissionError(const SerialAccess& access);

}  // namespace kt
