#include "controller/commands.h"

namespace kt::command {

QByteArray DateTimeDigits(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
}

QByteArray AlarmCommand(int alarmIndex) {
    return kAlarm + QByteArray::number(alarmIndex);
}

QByteArray OutputCommand(int family, int output, bool checked) {
    const QByteArray n = QByteArray::number(output);
    if (family == 4) return "JD" + n + (checked ? "1" : "0");
    // The same text every pass while the box stays ticked; nothing once it is not.
    return checked ? "JC00" + n + "10002" : QByteArray();
}

QByteArray PollCommand(int family) {
    if (family == 4) return kPollFour;
    return family == 6 ? kPollSix : kPoll;
}

}  // namespace kt::command
