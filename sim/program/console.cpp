#include "sim/program/console.h"

#include "sim/device/device_state.h"
#include "sim/program/simulator.h"

#include <QRegularExpression>
#include <QSocketNotifier>

#include <unistd.h>

namespace ktsim {
namespace {

// Longer lines are no console command: dropped whole, with a note.
constexpr qsizetype kMaxLine = 1024;

QString inputBits(quint8 inputs) {
    QString bits;
    for (int i = 0; i < 8; ++i) bits += (inputs & (1u << i)) ? u'1' : u'0';
    return bits;
}

QString faultList(const Simulator& simulator) {
    QStringList texts;
    for (const Fault& fault : simulator.faults()) texts.append(fault.toString());
    return texts.isEmpty() ? QStringLiteral("none") : texts.join(u' ');
}

QString status(Simulator& simulator) {
    const DeviceConfig config = simulator.config();
    const DeviceState& state = simulator.controller().state();
    return QStringLiteral(
               "family %1, address %2, serial %3\nfaults %4\ninputs %5\nevents %6 waiting")
        .arg(config.family)
        .arg(QString::fromLatin1(config.address), QString::fromLatin1(config.serial),
             faultList(simulator), inputBits(state.inputs()))
        .arg(state.eventCount());
}

}  // namespace

QString ConsoleHelp() {
    return QStringLiteral(
        "fault LETTERS:KIND[=MS][@N]  add a fault, as --fault (e.g. fault AS:silent)\n"
        "fault clear                  remove every fault\n"
        "inputs BITS                  the eight inputs, input 1 first (e.g. inputs 10100001)\n"
        "event                        buffer one more event for the polling test\n"
        "status                       the controller, its faults, inputs and events\n"
        "help                         this text");
}

QString RunConsoleLine(Simulator& simulator, const QString& line) {
    const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    const QString& command = words.front();
    if (command == u"help") return ConsoleHelp();
    if (command == u"status" && words.size() == 1) return status(simulator);
    if (command == u"fault" && words.size() == 2) {
        if (words[1] == u"clear") {
            const qsizetype count = simulator.faults().size();
            simulator.clearFaults();
            return QStringLiteral("faults cleared (%1 removed)").arg(count);
        }
        QString error;
        if (!simulator.addFault(words[1], &error)) return QStringLiteral("error: ") + error;
        return QStringLiteral("faults %1").arg(faultList(simulator));
    }
    if (command == u"inputs" && words.size() == 2) {
        static const QRegularExpression bits(QStringLiteral("^[01]{8}$"));
        if (!bits.match(words[1]).hasMatch())
            return QStringLiteral("error: inputs needs eight 0/1 characters, input 1 first");
        quint8 mask = 0;
        for (int i = 0; i < 8; ++i) {
            if (words[1][i] == u'1') mask |= quint8(1u << i);
        }
        simulator.controller().state().setInputs(mask);
        return QStringLiteral("inputs %1").arg(inputBits(mask));
    }
    if (command == u"event" && words.size() == 1) {
        bufferSampleEvents(simulator.controller().state(), 1);
        return QStringLiteral("events %1 waiting").arg(simulator.controller().state().eventCount());
    }
    return QStringLiteral("error: unknown console command \"%1\"; type help").arg(line.left(80));
}

Console::Console(Simulator& simulator, int fd, std::function<void(const QString&)> print,
                 QObject* parent)
    : QObject(parent),
      simulator_(simulator),
      fd_(fd),
      print_(std::move(print)),
      notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, &Console::readAvailable);
}

Console::~Console() = default;

void Console::readAvailable() {
    char buffer[512];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input (or an error): the controller runs on without a console.
        notifier_->setEnabled(false);
        return;
    }
    pending_.append(buffer, n);
    qsizetype newline;
    while ((newline = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(newline);
        pending_.remove(0, newline + 1);
        if (discarding_) {
            discarding_ = false;
            continue;
        }
        const QString answer = RunConsoleLine(simulator_, QString::fromLocal8Bit(line));
        if (!answer.isEmpty()) print_(answer);
    }
    if (pending_.size() > kMaxLine) {
        pending_.clear();
        if (!discarding_) print_(QStringLiteral("error: line too long, ignored"));
        discarding_ = true;
    }
}

}  // namespace ktsim
