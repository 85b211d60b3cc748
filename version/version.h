// The tool's one version, set in CMake's project(), and the git commit the
// programs were built from, for every --version and the About box.
#pragma once

#include <QString>

namespace kt {

// "0.9.0"
QString ToolVersion();
// The short commit hash, empty when not built from a git checkout.
QString ToolCommit();
// The line --version prints: "ktcli 0.9.0 (git 1a2b3c4)".
QString VersionLine(const QString& program);

}  // namespace kt
