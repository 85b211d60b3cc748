#include "sim/device/device_state.h"

#include <QTimeZone>

#include <algorithm>

namespace ktsim {
namespace {

constexpr const char* kDigitsFormat = "yyyyMMddHHmmss";

bool printable(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// The controller knows no time zones: keep the wall-clock fields and do the
// arithmetic in UTC, where no daylight-saving jump disturbs it.
QDateTime wallFields(const QDateTime& time) {
    return QDateTime(time.date(), time.time(), QTimeZone::utc());
}

}  // namespace

QString Event::validate() const {
    if (!time.isEmpty() && (time.size() != 14 || !std::all_of(time.begin(), time.end(), [](char c) {
                                return c >= '0' && c <= '9';
                            })))
        return QStringLiteral("event time must be 14 digits, got \"%1\"")
            .arg(QString::fromLatin1(time));
    if (code < 0x20 || code > 0x7E) return QStringLiteral("event code must be printable");
    if (point.size() != 4 || !printable(point))
        return QStringLiteral("event point must be 4 printable characters");
    if (card.size() != 5 || !printable(card))
        return QStringLiteral("event card must be 5 printable characters");
    return {};
}

DeviceState::DeviceState() {
    setClock(QDateTime::currentDateTime());
}

QDateTime DeviceState::clock() const {
    return clockBase_.addMSecs(clockSince_.elapsed());
}

QByteArray DeviceState::clockDigits() const {
    return clock().toString(QLatin1String(kDigitsFormat)).toLatin1();
}

void DeviceState::setClock(const QDateTime& wallTime) {
    clockBase_ = wallFields(wallTime);
    clockSince_.start();
}

char DeviceState::inputChar(int n) const {
    return (inputs_ >> (n - 1)) & 1 ? '1' : '0';
}

void DeviceState::setOutput(int n, bool on, int holdMs) {
    if (n < 1 || n > kOutputCount) return;
    QDeadlineTimer& off = outputOff_[static_cast<size_t>(n - 1)];
    if (!on)
        off = QDeadlineTimer();
    else if (holdMs > 0)
        off = QDeadlineTimer(holdMs);
    else
        off = QDeadlineTimer(QDeadlineTimer::Forever);
}

void DeviceState::allOutputsOff() {
    outputOff_.fill(QDeadlineTimer());
}

quint8 DeviceState::outputs() const {
    quint8 mask = 0;
    for (int i = 0; i < kOutputCount; ++i) {
        if (!outputOff_[static_cast<size_t>(i)].hasExpired()) mask |= quint8(1u << i);
    }
    return mask;
}

char DeviceState::outputChar(int n) const {
    return (outputs() >> (n - 1)) & 1 ? '1' : '0';
}

bool DeviceState::pushEvent(Event event, QString* error) {
    const QString problem = event.validate();
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return false;
    }
    if (event.time.isEmpty()) event.time = clockDigits();
    events_.append(std::move(event));
    return true;
}

void DeviceState::popEvent() {
    if (!events_.isEmpty()) events_.removeFirst();
}

void DeviceState::factoryReset(int busyMs) {
    ++factoryResets_;
    alarm_ = 0;
    events_.clear();
    beginRestart(busyMs);
}

void DeviceState::reboot(int busyMs) {
    ++reboots_;
    beginRestart(busyMs);
}

void DeviceState::beginRestart(int busyMs) {
    allOutputsOff();
    restartDone_ = QDeadlineTimer(busyMs, Qt::PreciseTimer);
}

bool DeviceState::restarting() const {
    return !restartDone_.hasExpired();
}

ControllerState DeviceState::snapshot() const {
    return {clock(), alarm_,         inputs_,  outputs(),   events_,
            speed_,  factoryResets_, reboots_, restarting()};
}

void bufferSampleEvents(DeviceState& state, int count) {
    const QDateTime now = state.clock();
    for (int i = 0; i < count; ++i) {
        Event event;
        event.time =
            now.addSecs(60LL * (i - count)).toString(QLatin1String(kDigitsFormat)).toLatin1();
        event.code = static_cast<char>('1' + i % 4);
        event.point = QByteArray::number(1 + i % 2).rightJustified(4, '0');
        event.card = QByteArray::number(10001 + i % 90000).rightJustified(5, '0');
        state.pushEvent(event);
    }
}

}  // namespace ktsim
