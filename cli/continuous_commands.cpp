#include "cli/command_table.h"
#include "cli/poll_record.h"
#include "cli/session.h"

#include "controller/dido_test.h"
#include "controller/polling_test.h"

#include <QElapsedTimer>
#include <QJsonObject>

#include <array>
#include <csignal>
#include <memory>
#include <optional>
#include <set>

namespace ktcli {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

// keepRunning for --seconds N (0: until a signal).
kt::KeepRunning untilStopped(int seconds) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer, seconds] {
        return !stopRequested && (seconds <= 0 || timer->elapsed() < seconds * 1000LL);
    };
}

std::optional<int> takeSeconds(QStringList& args, const QString& command, int* seconds) {
    QString value;
    if (!takeOption(args, QStringLiteral("--seconds"), &value))
        return badArguments(command, QStringLiteral("--seconds needs a number"));
    if (!value.isEmpty()) {
        const auto n = number(value, 1, 24 * 3600);
        if (!n)
            return badArguments(command,
                                QStringLiteral("--seconds wants a whole number of seconds"));
        *seconds = *n;
    }
    return std::nullopt;
}

// SIGINT and SIGTERM end a continuous test after its current pass, which then
// sends its end-of-test command; every other subcommand ends at once, as usual.
void installStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int runDido(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
    const QString command = QStringLiteral("dido");
    int seconds = 0;
    if (const auto bad = takeSeconds(args, command, &seconds)) return *bad;
    QString outputsText;
    if (!takeOption(args, QStringLiteral("--out"), &outputsText))
        return badArguments(command, QStringLiteral("--out needs a list of outputs"));
    std::set<int> outputs;
    for (const QString& item : outputsText.split(u',', Qt::SkipEmptyParts)) {
        const auto n = number(item, 1, 4);
        if (!n)
            return badArguments(
                command, QStringLiteral("--out wants outputs from 1 to 4, for example --out 1,3"));
        outputs.insert(*n);
    }
    if (!args.isEmpty())
        return badArguments(command, QStringLiteral("unexpected \"%1\"").arg(args.front()));

    installStopSignals();
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    if (session.family == kt::Family::ThreeDigit && outputs.count(4))
        return out.finish(kBadArguments,
                          QStringLiteral("a family 4 controller has outputs 1 to 3"));
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), kt::CodeOf(session.family));

    std::array<std::optional<bool>, 9> inputs;
    kt::DidoObserver observer;
    observer.keepRunning = untilStopped(seconds);
    observer.outputChecked = [&outputs](int output) { return outputs.count(output) > 0; };
    observer.inputRead = [&](int input, bool active) {
        if (input < 1 || input >= int(inputs.size()) || inputs[input] == active) return;
        inputs[input] = active;
        out.event({{QStringLiteral("event"), QStringLiteral("input")},
                   {QStringLiteral("input"), input},
                   {QStringLiteral("active"), active}},
                  QStringLiteral("input %1 %2")
                      .arg(input)
                      .arg(active ? QStringLiteral("active") : QStringLiteral("inactive")));
    };
    const kt::ContinuousTestResult result =
        kt::DidoTest(session.link, session.address, session.family, observer);
    out.field(QStringLiteral("passes"), result.passes);
    out.field(QStringLiteral("interrupted"), bool(stopRequested));
    return result.ok ? out.finish(kAccepted) : out.finish(kRejected, result.cause);
}

int runPoll(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
    const QString command = QStringLiteral("poll");
    int seconds = 0;
    if (const auto bad = takeSeconds(args, command, &seconds)) return *bad;
    if (!args.isEmpty())
        return badArguments(command, QStringLiteral("unexpected \"%1\"").arg(args.front()));

    installStopSignals();
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), kt::CodeOf(session.family));

    QByteArray date;
    kt::PollingObserver observer;
    observer.keepRunning = untilStopped(seconds);
    observer.showDate = [&date](const QByteArray& text) { date = text; };
    observer.showEvent = [&](const QByteArray& text) {
        QJsonObject event = PollRecordFields(text);
        event.insert(QStringLiteral("event"), QStringLiteral("record"));
        event.insert(QStringLiteral("date"), latin1(date));
        event.insert(QStringLiteral("time"), IsoTime(date, QStringLiteral("yyyy/MM/dd  HH:mm:ss")));
        out.event(event, QStringLiteral("event %1").arg(QString::fromLatin1(text)));
    };
    const kt::PollingTestResult result =
        kt::PollingTest(session.link, session.address, session.family, observer);
    out.field(QStringLiteral("passes"), result.passes);
    out.field(QStringLiteral("events"), result.events);
    out.field(QStringLiteral("interrupted"), bool(stopRequested));
    return result.ok ? out.finish(kAccepted) : out.finish(kRejected, result.cause);
}

}  // namespace ktcli
