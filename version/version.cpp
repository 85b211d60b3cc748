#include "version/version.h"

#include "git_commit.h"  // written by the build: KT_GIT_COMMIT

#ifndef KT_VERSION
#error "KT_VERSION must be defined by the build"
#endif

namespace kt {

QString ToolVersion() {
    return QStringLiteral(KT_VERSION);
}

QString ToolCommit() {
    return QStringLiteral(KT_GIT_COMMIT);
}

QString VersionLine(const QString& program) {
    QString line = program + QLatin1Char(' ') + ToolVersion();
    if (!ToolCommit().isEmpty()) line += QStringLiteral(" (git %1)").arg(ToolCommit());
    return line;
}

}  // namespace kt
