#include "controller/commands.h"

namespace kt::command {

QByteArray DateTimeDigits(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
}

QByteArray AlarmCommand(int alarmIndex) {
    return kAlarm + QByteArray::number(alarmIndex);
}

QByteArray OutputCommand(Family family, int output, bool checked) {
    const QByteArray n = QByteArray::number(output);
    if (family == Family::ThreeDigit) return "JD" + n + (checked ? "1" : "0");
    // The same text every pass while the box stays ticked; nothing once it is not.
    return checked ? "JC00" + n + "10002" : QByteArray();
}

QByteArray PollCommand(Family family) {
    if (family == Family::ThreeDigit) return kPollFour;
    return family == Family::KT740 ? kPollSix : kPoll;
}

}  // namespace kt::command
