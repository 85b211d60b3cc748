// Which device a port name opens, and why a serial port would not open:
// pure rules on the system's facts, and the lock-file reading on real files.
// Nothing here opens a device; /dev/ttyS0 is the system console here.
#include "link/serial_access.h"
#include "link/serial_device_path.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryFile>

#include <unistd.h>

using namespace kt;
using namespace Qt::StringLiterals;

TEST(SerialDevicePath, ComNamesOpenTheOnBoardPortsAndOtherNamesStayAsGiven) {
    EXPECT_EQ(SerialDevicePath(u"COM1"_s), u"/dev/ttyS0"_s);
    EXPECT_EQ(SerialDevicePath(u"com2"_s), u"/dev/ttyS1"_s);
    EXPECT_EQ(SerialDevicePath(u" COM16\t"_s), u"/dev/ttyS15"_s);
    EXPECT_EQ(SerialDevicePath(u"COM0"_s), u"/dev/COM0"_s);  // there is no COM0
    EXPECT_EQ(SerialDevicePath(u"COM"_s), u"/dev/COM"_s);
    EXPECT_EQ(SerialDevicePath(u"COM1x"_s), u"/dev/COM1x"_s);
    EXPECT_EQ(SerialDevicePath(u"COM-1"_s), u"/dev/COM-1"_s);
    EXPECT_EQ(SerialDevicePath(u"COM99999"_s), u"/dev/COM99999"_s);  // no such number
    EXPECT_EQ(SerialDevicePath(u"ttyUSB0"_s), u"/dev/ttyUSB0"_s);
    EXPECT_EQ(SerialDevicePath(u"/dev/pts/7"_s), u"/dev/pts/7"_s);
    EXPECT_EQ(SerialDevicePath(u"/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0"_s),
              u"/dev/serial/by-id/usb-FTDI_A50285BI-if00-port0"_s);
}

TEST(PermissionError, NoAccessNamesTheGroupThatMayOpenItAndInUseTheHolder) {
    SerialAccess denied;
    denied.readWrite = false;
    denied.group = u"uucp"_s;
    denied.groupMode = true;
    LinkError error = PermissionError(denied);
    EXPECT_EQ(error.kind, LinkFault::NoAccess);
    EXPECT_EQ(error.group, u"uucp"_s);
    EXPECT_FALSE(error.logInAgain);

    denied.accountListed = true;  // added, but this session began before
    EXPECT_TRUE(PermissionError(denied).logInAgain);
    denied.sessionHasGroup = true;  // in the group, and still denied: no logging in helps
    EXPECT_FALSE(PermissionError(denied).logInAgain);

    denied.sessionHasGroup = false;
    denied.groupMode = false;  // mode 0600: no group helps
    error = PermissionError(denied);
    EXPECT_EQ(error.kind, LinkFault::NoAccess);
    EXPECT_TRUE(error.group.isEmpty());
    EXPECT_FALSE(error.logInAgain);

    SerialAccess held;  // the account may, so someone else holds it
    error = PermissionError(held);
    EXPECT_EQ(error.kind, LinkFault::InUse);
    EXPECT_TRUE(error.holder.isEmpty());
    EXPECT_EQ(error.holderPid, 0);
    held.lockPid = 4242;
    held.lockProgram = u"minicom"_s;
    error = PermissionError(held);
    EXPECT_EQ(error.holder, u"minicom"_s);
    EXPECT_EQ(error.holderPid, 4242);
}

TEST(ProbeSerialAccess, ReadsTheOwningGroupAndALiveLockButNotAStaleOne) {
    QTemporaryFile device(QDir::tempPath() + u"/ktprobeXXXXXX"_s);
    ASSERT_TRUE(device.open());
    device.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                          QFile::WriteGroup);
    // Named as QSerialPort names it: the path's slashes become '_'.
    const QString lockPath = u"/tmp/LCK.."_s + QString(device.fileName()).replace(u'/', u'_');

    SerialAccess facts = ProbeSerialAccess(device.fileName());
    EXPECT_TRUE(facts.readWrite);
    EXPECT_TRUE(facts.groupMode);
    EXPECT_FALSE(facts.group.isEmpty());
    EXPECT_TRUE(facts.sessionHasGroup);  // the file took this session's group
    EXPECT_EQ(facts.lockPid, 0);

    {
        QLockFile lock(lockPath);
        ASSERT_TRUE(lock.tryLock());
        facts = ProbeSerialAccess(device.fileName());
        EXPECT_EQ(facts.lockPid, qint64(getpid()));
    }
    // A lock whose program has gone holds nothing.
    QFile stale(lockPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147483646\nghost\nnowhere\n");
    stale.close();
    EXPECT_EQ(ProbeSerialAccess(device.fileName()).lockPid, 0);
    QFile::remove(lockPath);
}
