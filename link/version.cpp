#include "version.h"

#ifndef KT_VERSION
#error "KT_VERSION must be defined by the build"
#endif
#ifndef KT_GIT_COMMIT
#define KT_GIT_COMMIT ""
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
