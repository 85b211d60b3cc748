// What a substitute controller remembers between requests: its clock, alarm
// state, inputs and outputs, buffered events, serial speed, and whether it is
// still restarting after a factory reset or reboot. Time runs on the
// monotonic clock, so the controller's clock keeps going from what "AA" set.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <array>

namespace ktsim {

// One buffered event record. The tool shows its fields as they come; the
// meanings are ours: when, what kind, which door or reader, which card.
struct Event {
    QByteArray time = {};       // 14 digits yyyyMMddhhmmss; empty: the clock when pushed
    char code = '1';            // kind of event, one printable character
    QByteArray point = "0001";  // four characters
    QByteArray card = "12345";  // five characters (not in family 4's record)

    // Empty when the record fits the reply layouts, else one line saying why.
    QString validate() const;
    bool operator==(const Event&) const = default;
};

inline constexpr int kOutputCount = 4;

// A copy of the state at one moment, for tests and traces.
struct ControllerState {
    QDateTime clock;     // the controller's wall clock, its fields held as UTC
    int alarm = 0;       // 0 off, 1 to 6 the alarm kinds "JF" selects
    quint8 inputs = 0;   // bit 0 is input 1
    quint8 outputs = 0;  // outputs switched on now, bit 0 is output 1
    QList<Event> events;
    QByteArray speed;  // the line settings asked for by "AE", e.g. "19200,e,8,1"
    int factoryResets = 0;
    int reboots = 0;
    bool restarting = false;  // silent until the restart is over
};

class DeviceState {
public:
    // The clock starts at the PC's local time, as a controller whose clock
    // was set some day.
    DeviceState();

    QDateTime clock() const;
    // yyyyMMddhhmmss of clock().
    QByteArray clockDigits() const;
    void setClock(const QDateTime& wallTime);

    int alarm() const { return alarm_; }
    void setAlarm(int alarm) { alarm_ = alarm; }

    quint8 inputs() const { return inputs_; }
    void setInputs(quint8 mask) { inputs_ = mask; }
    // '1' or '0' for input n (1 to 8).
    char inputChar(int n) const;

    // Output n (1 to 4) on or off. An output switched on for holdMs > 0
    // drops by itself when that time is up, unless switched on again.
    void setOutput(int n, bool on, int holdMs = 0);
    void allOutputsOff();
    quint8 outputs() const;
    char outputChar(int n) const;

    // Appends the event, its time taken from the clock when empty; false
    // with the reason in *error when it does not fit.
    bool pushEvent(Event event, QString* error = nullptr);
    const Event* headEvent() const { return events_.isEmpty() ? nullptr : &events_.front(); }
    void popEvent();
    int eventCount() const { return static_cast<int>(events_.size()); }

    const QByteArray& speed() const { return speed_; }
    void setSpeed(const QByteArray& speed) { speed_ = speed; }

    // Factory reset: outputs off, alarm off, events gone; clock, address,
    // serial number and speed kept. Reboot: outputs off. Either way the
    // controller answers nothing for busyMs.
    void factoryReset(int busyMs);
    void reboot(int busyMs);
    bool restarting() const;

    ControllerState snapshot() const;

    // With alternating reply lengths: whether this reply to the command
    // takes the other accepted length (every second one does).
    bool otherLengthTurn(const QByteArray& letters) { return (lengthTurns_[letters]++ % 2) == 1; }

private:
    void beginRestart(int busyMs);

    QDateTime clockBase_;
    QElapsedTimer clockSince_;
    int alarm_ = 0;
    quint8 inputs_ = 0;
    // Per output: off (expired), on for good (Forever) or on until a deadline.
    std::array<QDeadlineTimer, kOutputCount> outputOff_;
    QList<Event> events_;
    QByteArray speed_ = "19200,e,8,1";
    int factoryResets_ = 0;
    int reboots_ = 0;
    QDeadlineTimer restartDone_;
    QHash<QByteArray, int> lengthTurns_;
};

// Buffers count made-up events, the oldest count minutes back from the
// controller's clock, one a minute: something for a trainee's polling test.
void bufferSampleEvents(DeviceState& state, int count);

}  // namespace ktsim
