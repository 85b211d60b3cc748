#include "controller/basic_commands.h"

#include "controller/commands.h"
#include "controller/reply_fields.h"

#include <QElapsedTimer>

namespace kt {
namespace {

using detail::accepted;
using detail::kCommandPauseMs;
using detail::pause;

// How long family 4 takes to come back before it is asked "AS" again.
constexpr int kFactoryResetWaitMs = 16000;
constexpr int kRebootWaitMs = 3500;

// The "AS" reply by which Connect recognises a family-4 controller.
constexpr int kFamilyFourSerialLength = 20;

void show(const ShowStatus& status, const char* english) {
    if (status) status(english);
}

// Title, the 100 ms pause, one command judged by its reply length.
OperationResult simpleCommand(Link& link, const ShowStatus& status, const char* title,
                              const QByteArray& text, std::initializer_list<int> lengths) {
    show(status, title);
    pause(kCommandPauseMs);
    return {accepted(link, text, lengths)};
}

struct Restart {
    const char* title;
    const char* command;      // common families
    const char* commandFour;  // family 4
    int waitFourMs;
};

// The fixed wait, cut at whole seconds left so that the caller can show
// them; the clock, not the number of steps, decides when it ends, so the
// wait keeps its length however long showing takes.
void pauseCountingDown(int ms, const Countdown& countdown) {
    if (!countdown) {
        pause(ms);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = ms - clock.elapsed();
        if (left <= 0) return;
        countdown(int((left + 999) / 1000));
        const qint64 toNextSecond = left % 1000 == 0 ? 1000 : left % 1000;
        pause(int(toNextSecond));
    }
}

OperationResult restart(Link& link, const QByteArray& address, Family family,
                        const ShowStatus& status, const Countdown& countdown, const Restart& kind) {
    if (family != Family::ThreeDigit)
        return simpleCommand(link, status, kind.title, address + kind.command, {13});
    show(status, kind.title);
    pause(kCommandPauseMs);
    if (!accepted(link, address + kind.commandFour, {12})) return {false};
    // The controller restarts meanwhile; nothing is sent or read.
    pauseCountingDown(kind.waitFourMs, countdown);
    return {accepted(link, address + command::kSerialNumber, {kFamilyFourSerialLength})};
}

}  // namespace

OperationResult SetDateTime(Link& link, const QByteArray& address, const ShowStatus& status,
                            const std::function<QDateTime()>& now) {
    show(status, "Set date and time");
    pause(kCommandPauseMs);
    const QDateTime time = now ? now() : QDateTime::currentDateTime();
    return {
        accepted(link, address + command::kSetDateTime + command::DateTimeDigits(time), {12, 13})};
}

OperationResult AlarmTest(Link& link, const QByteArray& address, int alarmIndex,
                          const ShowStatus& status) {
    return simpleCommand(link, status, "Alarm test", address + command::AlarmCommand(alarmIndex),
                         {12, 13});
}

OperationResult FactoryReset(Link& link, const QByteArray& address, Family family,
                             const ShowStatus& status, const Countdown& countdown) {
    return restart(
        link, address, family, status, countdown,
        {"Set factory", command::kFactoryReset, command::kFactoryResetFour, kFactoryResetWaitMs});
}

OperationResult Reboot(Link& link, const QByteArray& address, Family family,
                       const ShowStatus& status, const Countdown& countdown) {
    return restart(link, address, family, status, countdown,
                   {"Set reboot", command::kReboot, command::kRebootFour, kRebootWaitMs});
}

SpeedBoxSetting SpeedPreset(LineSpeed speed) {
    if (speed == LineSpeed::Baud115200) return {QStringLiteral("115200,n,8,1"), 10};
    return {QStringLiteral("19200,e,8,1"), 5};
}

SpeedChangeResult ChangeSpeed(Link& link, const QByteArray& address, Family family, LineSpeed speed,
                              const ShowStatus& status) {
    const bool fast = speed == LineSpeed::Baud115200;
    const char* title = fast ? "Set baudrate 115200,n,8,1" : "Set baudrate 19200,e,8,1";
    // Family 4 has no speed command: the port was opened, nothing goes out.
    if (family == Family::ThreeDigit) {
        show(status, title);
        return {};
    }
    const char* text = fast ? command::kSpeed115200 : command::kSpeed19200;
    if (!simpleCommand(link, status, title, address + text, {13}).ok) return {};
    // The controller runs at the new speed now; a converter that takes line
    // settings follows at once. If it does not, the next open still sets it.
    link.followLine(SpeedPreset(speed).text);
    return {true, SpeedPreset(speed)};
}

CommandTestResult CommandTest(Link& link, const QByteArray& address,
                              const QByteArray& commandText) {
    pause(kCommandPauseMs);
    if (!link.SendCommand(address + commandText)) return {};
    return {true, link.ReplyText()};
}

}  // namespace kt
