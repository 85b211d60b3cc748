#include "cli/restart_countdown.h"

#include <QTextStream>

#include <unistd.h>

namespace ktcli {

kt::Countdown restartCountdown(const char* title, bool json) {
    if (json || !::isatty(STDOUT_FILENO)) return {};
    return [title](int secondsLeft) {
        QTextStream(stdout) << title << QString::asprintf(" ( %d )", secondsLeft) << Qt::endl;
    };
}

}  // namespace ktcli
