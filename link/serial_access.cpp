#include "link/serial_access.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <unistd.h>
#include <cerrno>
#include <csignal>

#include <vector>

namespace kt {
namespace {

// Where QSerialPort and other serial programs leave their "LCK..ttyUSB0".
const char* const kLockFolders[] = {"/var/lock",        "/run/lock",       "/var/lock/lockdev",
                                    "/var/spool/locks", "/var/spool/uucp", "/tmp",
                                    "/var/tmp"};

// "LCK..ttyUSB0", "LCK..pts_3": the name below /dev, its slashes made '_',
// as QSerialPort and the uucp convention write it.
QString lockName(const QString& path) {
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.sliced(5) : path;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

bool sessionCarries(gid_t gid) {
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<size_t>(i)] == gid) return true;
    return false;
}

bool databaseLists(const group& entry) {
    const passwd* account = getpwuid(geteuid());
    if (!account) return false;
    if (account->pw_gid == entry.gr_gid) return true;
    for (char** member = entry.gr_mem; member && *member; ++member)
        if (qstrcmp(*member, account->pw_name) == 0) return true;
    return false;
}

}  // namespace

SerialAccess ProbeSerialAccess(const QString& path) {
    SerialAccess facts;
    const QByteArray native = QFile::encodeName(path);
    facts.readWrite = ::access(native.constData(), R_OK | W_OK) == 0;
    struct stat status {};
    if (::stat(native.constData(), &status) == 0) {
        facts.groupMode = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
        if (const group* owner = getgrgid(status.st_gid)) {
            facts.group = QString::fromLocal8Bit(owner->gr_name);
            facts.accountListed = databaseLists(*owner);
        }
        facts.sessionHasGroup = sessionCarries(status.st_gid);
    }
    // A lock is named after the device as its program opened it, a by-id
    // link or the device itself: look for both.
    QStringList names{lockName(path)};
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && !names.contains(lockName(canonical))) names << lockName(canonical);
    for (const QString& name : names) {
        for (const char* folder : kLockFolders) {
            QLockFile lock(QDir(QString::fromLatin1(folder)).filePath(name));
            qint64 pid = 0;
            QString host;
            QString program;
            if (!lock.getLockInfo(&pid, &host, &program) || pid <= 0) continue;
            // A lock left by a program that has gone holds nothing.
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) continue;
            facts.lockPid = pid;
            facts.lockProgram = program;
            return facts;
        }
    }
    return facts;
}

LinkError PermissionError(const SerialAccess& access) {
    LinkError error;
    if (!access.readWrite) {
        error.kind = LinkFault::NoAccess;
        if (access.groupMode) error.group = access.group;
        error.logInAgain =
            !error.group.isEmpty() && access.accountListed && !access.sessionHasGroup;
        return error;
    }
    error.kind = LinkFault::InUse;
    if (access.lockPid > 0) {
        error.holder = access.lockProgram;
        error.holderPid = access.lockPid;
    }
    return error;
}

}  // namespace kt
