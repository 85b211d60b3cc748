#include "commands.h"

#include "basic_commands.h"
#include "bounded_input.h"
#include "card_type.h"
#include "command_text.h"
#include "connect.h"
#include "controller_id.h"
#include "dido_test.h"
#include "firmware_file.h"
#include "link.h"
#include "module_requests.h"
#include "output.h"
#include "pass_through.h"
#include "polling_test.h"
#include "programmer.h"
#include "v7_registers.h"
#include "visible_text.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTextStream>
#include <QTime>

#include <unistd.h>
#include <array>
#include <csignal>
#include <optional>
#include <set>

namespace ktcli {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

QJsonValue latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

QJsonValue latin1(const std::optional<QByteArray>& bytes) {
    return bytes ? latin1(*bytes) : QJsonValue();
}

QJsonValue visible(const std::optional<QByteArray>& bytes) {
    return bytes ? QJsonValue(kt::VisibleText(*bytes)) : QJsonValue();
}

QString checkName(kt::FrameStyle style) {
    return style == kt::FrameStyle::Crc ? QStringLiteral("CRC") : QStringLiteral("XOR");
}

void printTrace(const kt::TraceEvent& event) {
    QTextStream err(stderr);
    err << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    if (event.direction == kt::TraceEvent::Direction::Sent) {
        err << " -> " << kt::VisibleText(event.bytes) << "  " << checkName(event.style) << Qt::endl;
        return;
    }
    err << " <- " << kt::VisibleText(event.bytes) << "  ";
    if (!event.complete)
        err << (event.bytes.isEmpty() ? "nothing" : "partial") << Qt::endl;
    else
        err << checkName(event.style) << (event.checkOk ? " good" : " bad") << Qt::endl;
}

// The open link and the controller on it.
class Session {
public:
    Session(const ConnectionOptions& connection, Output& out) : connection_(connection), out_(out) {
        link.setPort(connection.port);
        if (connection.trace) link.setTrace(printTrace);
    }
    ~Session() { link.ClosePort(); }

    // nullopt once the port is open; else the exit status, reported.
    std::optional<int> open() {
        if (link.OpenPort()) return std::nullopt;
        QString why = link.lastError();
        if (why.contains(QStringLiteral("ermission")))
            why += QStringLiteral(
                " (join the dialout group: sudo usermod -aG dialout $USER, then log in again)");
        return out_.finish(kPortError, why);
    }

    // Opens the port and learns the address and family: from --address and
    // --family, or by Connect. nullopt on success; else the exit status.
    std::optional<int> openAndLocate(bool alwaysConnect = false) {
        if (const auto failed = open()) return failed;
        if (!connection_.address.isEmpty() && !alwaysConnect) {
            address = connection_.address;
            family = connection_.family;
            return std::nullopt;
        }
        connected = kt::Connect(link, connection_.firstId);
        if (connected.outcome == kt::ConnectResult::Outcome::NotFound)
            return out_.finish(
                kRejected,
                QStringLiteral("no controller answered AC or AS (last: %1)").arg(cause()));
        address = connected.address;
        if (connected.outcome == kt::ConnectResult::Outcome::NotIdentified)
            return out_.finish(kRejected, QStringLiteral("the controller at %1 did not identify "
                                                         "itself (%2); give --address and --family")
                                              .arg(QString::fromLatin1(address), cause()));
        family = connected.family;
        return std::nullopt;
    }

    // Why the last operation failed, as far as the link knows.
    QString cause() const {
        if (!link.lastError().isEmpty()) return link.lastError();
        if (link.ReplyLength() > 0)
            return QStringLiteral("unexpected reply length %1").arg(link.ReplyLength());
        return QStringLiteral("the controller said no");
    }

    int verdict(bool ok) { return ok ? out_.finish(kAccepted) : out_.finish(kRejected, cause()); }

    kt::Link link;
    QByteArray address = "0000";
    int family = 0;
    kt::ConnectResult connected;

private:
    const ConnectionOptions& connection_;
    Output& out_;
};

int badArguments(const QString& command, const QString& message) {
    return fail(kBadArguments,
                QStringLiteral("%1: %2 (see ktcli %1 --help)").arg(command, message));
}

std::optional<int> number(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

bool isSerial(const QString& text) {
    static const QRegularExpression serial(QStringLiteral("^[0-9A-Za-z]{8}$"));
    return serial.match(text).hasMatch();
}

bool isControllerId(const QString& text) {
    static const QRegularExpression id(QStringLiteral("^[0-9]{4}$"));
    return id.match(text).hasMatch();
}

// "--seconds N" style option taken out of args; false when malformed.
bool takeOption(QStringList& args, const QString& name, QString* value) {
    const qsizetype at = args.indexOf(name);
    if (at < 0) return true;
    if (at + 1 >= args.size()) return false;
    *value = args[at + 1];
    args.remove(at, 2);
    return true;
}

bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

// --- one-shot controller commands ---

int runConnect(const ConnectionOptions& connection, const QStringList& args, Output& out) {
    if (!args.isEmpty())
        return badArguments(QStringLiteral("connect"), QStringLiteral("takes no arguments"));
    Session session(connection, out);
    if (const auto failed = session.open()) return *failed;
    const kt::ConnectResult result = kt::Connect(session.link, connection.firstId);
    if (result.outcome == kt::ConnectResult::Outcome::NotFound)
        return out.finish(
            kRejected,
            QStringLiteral("no controller answered AC or AS (last: %1)").arg(session.cause()));
    out.field(QStringLiteral("address"), latin1(result.address));
    if (result.outcome == kt::ConnectResult::Outcome::NotIdentified)
        return out.finish(kRejected,
                          QStringLiteral("the controller at %1 did not identify itself (%2)")
                              .arg(QString::fromLatin1(result.address), session.cause()));
    out.field(QStringLiteral("family"), result.family);
    out.field(QStringLiteral("version"), latin1(result.versionText));
    out.field(QStringLiteral("serial"),
              result.serialNumber.isEmpty() ? QJsonValue() : latin1(result.serialNumber));
    if (result.serialNumber.isEmpty())
        return out.finish(kRejected, QStringLiteral("no serial number: %1").arg(session.cause()));
    return out.finish(kAccepted);
}

int runSend(const ConnectionOptions& connection, QStringList args, Output& out) {
    kt::FrameStyle style = kt::FrameStyle::Crc;
    if (!args.isEmpty() && (args.front() == u"--xor" || args.front() == u"--xor-etx")) {
        style = args.front() == u"--xor" ? kt::FrameStyle::StxReply : kt::FrameStyle::EtxReply;
        args.removeFirst();
    }
    if (!args.isEmpty() && args.front() == u"--") args.removeFirst();
    if (args.size() != 1)
        return badArguments(QStringLiteral("send"), QStringLiteral("takes one command text"));
    // A control byte would end the frame early and smuggle what follows past
    // it as a second request: refused before the port opens.
    if (const QString problem = kt::TypedCommandTextProblem(args.front()); !problem.isEmpty())
        return badArguments(QStringLiteral("send"), problem);
    const QByteArray text = kt::CommandTextBytes(args.front());
    const int limit =
        style == kt::FrameStyle::Crc ? kt::kMaxCrcCommandText : kt::kMaxXorCommandText;
    if (text.size() > limit)
        return badArguments(QStringLiteral("send"),
                            QStringLiteral("command text too long: %1 characters, at most %2")
                                .arg(text.size())
                                .arg(limit));

    Session session(connection, out);
    if (const auto failed = session.open()) return *failed;
    const bool accepted = session.link.transact(style, text);
    const QByteArray reply(session.link.ReplyBuffer(), session.link.ReplyLength());
    out.field(QStringLiteral("reply"), kt::VisibleText(reply));
    out.field(QStringLiteral("length"), reply.size());
    if (!connection.json) QTextStream(stdout) << (accepted ? "accepted" : "rejected") << Qt::endl;
    return accepted ? out.finish(kAccepted) : out.finish(kRejected, session.link.lastError());
}

// set-date, alarm, factory-reset, reboot, set-speed: Connect, then one operation.
int runBasic(const ConnectionOptions& connection, const QString& command, const QStringList& args,
             Output& out) {
    std::optional<int> alarm;
    std::optional<kt::LineSpeed> speed;
    if (command == u"alarm") {
        if (args.size() != 1 || !(alarm = number(args[0], 0, 6)))
            return badArguments(command,
                                QStringLiteral("wants one alarm number from 0 (off) to 6"));
    } else if (command == u"set-speed") {
        if (args.size() == 1 && args[0] == u"19200")
            speed = kt::LineSpeed::Baud19200;
        else if (args.size() == 1 && args[0] == u"115200")
            speed = kt::LineSpeed::Baud115200;
        else
            return badArguments(command, QStringLiteral("wants 19200 or 115200"));
    } else if (!args.isEmpty()) {
        return badArguments(command, QStringLiteral("takes no arguments"));
    }

    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    if (command == u"set-date") {
        QDateTime sent;
        const auto ok = kt::SetDateTime(session.link, session.address, {}, [&sent] {
                            sent = QDateTime::currentDateTime();
                            return sent;
                        }).ok;
        out.field(QStringLiteral("time"), sent.toString(Qt::ISODate));
        return session.verdict(ok);
    }
    if (alarm) {
        out.field(QStringLiteral("alarm"), *alarm);
        return session.verdict(kt::AlarmTest(session.link, session.address, *alarm).ok);
    }
    if (command == u"factory-reset")
        return session.verdict(kt::FactoryReset(session.link, session.address, session.family).ok);
    if (command == u"reboot")
        return session.verdict(kt::Reboot(session.link, session.address, session.family).ok);
    if (session.family == 4)
        return out.finish(kRejected,
                          QStringLiteral("a family 4 controller cannot change its speed"));
    const kt::SpeedChangeResult result =
        kt::ChangeSpeed(session.link, session.address, session.family, *speed);
    if (result.speedBox) out.field(QStringLiteral("line"), result.speedBox->text);
    return session.verdict(result.ok);
}

// --- controller ID by serial number ---

int runGetId(const ConnectionOptions& connection, const QStringList& args, Output& out) {
    if (!args.isEmpty())
        return badArguments(QStringLiteral("get-id"), QStringLiteral("takes no arguments"));
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    const auto result = kt::GetControllerId(session.link, session.address, true, {});
    if (result.ok) {
        out.field(QStringLiteral("id"), latin1(result.idText));
        out.field(QStringLiteral("serial"), latin1(result.serialText));
    }
    return session.verdict(result.ok);
}

int runFindId(const ConnectionOptions& connection, const QStringList& args, Output& out) {
    if (args.size() != 1 || !isSerial(args[0]))
        return badArguments(QStringLiteral("find-id"),
                            QStringLiteral("wants one eight-character serial number"));
    Session session(connection, out);
    if (const auto failed = session.open()) return *failed;
    const auto result = kt::GetControllerId(session.link, "0000", false, args[0].toLatin1());
    out.field(QStringLiteral("serial"), args[0]);
    if (result.ok) out.field(QStringLiteral("id"), latin1(result.idText));
    return session.verdict(result.ok);
}

// One line of a batch file: "SERIAL NEWID" (blanks or a comma between).
struct BatchLine {
    QString serial;
    QString newId;
};

std::optional<BatchLine> parseBatchLine(const QString& line, QString* why) {
    const QStringList parts =
        line.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        *why = QStringLiteral("want a serial number and a new ID");
        return std::nullopt;
    }
    if (!isSerial(parts[0])) {
        *why = QStringLiteral("\"%1\" is no eight-character serial number").arg(parts[0]);
        return std::nullopt;
    }
    if (!isControllerId(parts[1])) {
        *why = QStringLiteral("\"%1\" is no four-digit ID").arg(parts[1]);
        return std::nullopt;
    }
    return BatchLine{parts[0], parts[1]};
}

// A batch file holds a line per controller; nothing valid comes near these.
constexpr qint64 kMaxBatchFileSize = 1024 * 1024;
constexpr int kMaxBatchLineLength = 256;

int runSetIdBatch(const ConnectionOptions& connection, const QString& path, Output& out) {
    const QString command = QStringLiteral("set-id");
    QString why;
    const auto contents = ReadBoundedInput(path, kMaxBatchFileSize, &why);
    if (!contents) return badArguments(command, why);
    const QStringList lines = QString::fromUtf8(*contents).remove(u'\r').split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > kMaxBatchLineLength)
            return badArguments(command, QStringLiteral("%1: line %2 is longer than %3 characters")
                                             .arg(InputName(path))
                                             .arg(i + 1)
                                             .arg(kMaxBatchLineLength));
    }

    Session session(connection, out);
    if (const auto failed = session.open()) return *failed;
    int applied = 0, failedLines = 0, skipped = 0;
    QJsonArray outcomes;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        QJsonObject outcome{{QStringLiteral("line"), i + 1}};
        QString why;
        const auto parsed = parseBatchLine(line, &why);
        QString text;
        if (!parsed) {
            ++skipped;
            outcome.insert(QStringLiteral("outcome"), QStringLiteral("skipped"));
            outcome.insert(QStringLiteral("error"), why);
            text = QStringLiteral("line %1: skipped: %2").arg(i + 1).arg(why);
        } else {
            outcome.insert(QStringLiteral("serial"), parsed->serial);
            outcome.insert(QStringLiteral("id"), parsed->newId);
            const bool ok = kt::SetControllerIdBySerial(session.link, parsed->serial.toLatin1(),
                                                        parsed->newId.toLatin1())
                                .ok;
            if (ok) {
                ++applied;
                outcome.insert(QStringLiteral("outcome"), QStringLiteral("applied"));
                text = QStringLiteral("line %1: %2 -> %3: applied")
                           .arg(i + 1)
                           .arg(parsed->serial, parsed->newId);
            } else {
                ++failedLines;
                outcome.insert(QStringLiteral("outcome"), QStringLiteral("failed"));
                outcome.insert(QStringLiteral("error"), session.cause());
                text = QStringLiteral("line %1: %2 -> %3: failed: %4")
                           .arg(i + 1)
                           .arg(parsed->serial, parsed->newId, session.cause());
            }
        }
        if (connection.json)
            outcomes.append(outcome);
        else
            QTextStream(stdout) << kt::VisibleLine(text) << Qt::endl;
    }
    if (connection.json) out.field(QStringLiteral("lines"), outcomes);
    out.field(QStringLiteral("applied"), applied);
    out.field(QStringLiteral("failed"), failedLines);
    out.field(QStringLiteral("skipped"), skipped);
    if (failedLines > 0)
        return out.finish(kRejected, QStringLiteral("%1 of %2 lines failed")
                                         .arg(failedLines)
                                         .arg(applied + failedLines + skipped));
    if (skipped > 0)
        return out.finish(kBadArguments, QStringLiteral("%1 bad lines skipped").arg(skipped));
    return out.finish(kAccepted);
}

int runSetId(const ConnectionOptions& connection, QStringList args, Output& out) {
    QString from;
    if (!takeOption(args, QStringLiteral("--from"), &from))
        return badArguments(QStringLiteral("set-id"), QStringLiteral("--from needs a file"));
    if (!from.isEmpty()) {
        if (!args.isEmpty())
            return badArguments(QStringLiteral("set-id"),
                                QStringLiteral("--from takes no serial number and ID"));
        return runSetIdBatch(connection, from, out);
    }
    if (args.size() != 2 || !isSerial(args[0]) || !isControllerId(args[1]))
        return badArguments(
            QStringLiteral("set-id"),
            QStringLiteral("wants an eight-character serial number and a four-digit new ID"));
    Session session(connection, out);
    if (const auto failed = session.open()) return *failed;
    out.field(QStringLiteral("serial"), args[0]);
    out.field(QStringLiteral("id"), args[1]);
    return session.verdict(
        kt::SetControllerIdBySerial(session.link, args[0].toLatin1(), args[1].toLatin1()).ok);
}

// --- continuous tests ---

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

int runDido(const ConnectionOptions& connection, QStringList args, Output& out) {
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
    if (session.family == 4 && outputs.count(4))
        return out.finish(kBadArguments,
                          QStringLiteral("a family 4 controller has outputs 1 to 3"));
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), session.family);

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

int runPoll(const ConnectionOptions& connection, QStringList args, Output& out) {
    const QString command = QStringLiteral("poll");
    int seconds = 0;
    if (const auto bad = takeSeconds(args, command, &seconds)) return *bad;
    if (!args.isEmpty())
        return badArguments(command, QStringLiteral("unexpected \"%1\"").arg(args.front()));

    installStopSignals();
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), session.family);

    QByteArray date;
    kt::PollingObserver observer;
    observer.keepRunning = untilStopped(seconds);
    observer.showDate = [&date](const QByteArray& text) { date = text; };
    observer.showEvent = [&](const QByteArray& text) {
        out.event({{QStringLiteral("event"), QStringLiteral("record")},
                   {QStringLiteral("date"), latin1(date)},
                   {QStringLiteral("record"), latin1(text)}},
                  QStringLiteral("event %1").arg(QString::fromLatin1(text)));
    };
    const kt::PollingTestResult result =
        kt::PollingTest(session.link, session.address, session.family, observer);
    out.field(QStringLiteral("passes"), result.passes);
    out.field(QStringLiteral("events"), result.events);
    out.field(QStringLiteral("interrupted"), bool(stopRequested));
    return result.ok ? out.finish(kAccepted) : out.finish(kRejected, result.cause);
}

// --- modules ---

// A module type by its letter (A, B, H, I, J, E) or its place in the list (0 to 5).
std::optional<int> moduleType(const QString& text) {
    for (int i = 0; i < kt::module::kTypeCount; ++i) {
        if (text.compare(QString(QChar::fromLatin1(*kt::module::TypeLetter(i))),
                         Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

QJsonValue typeLetter(int typeIndex) {
    return QString(QChar::fromLatin1(*kt::module::TypeLetter(typeIndex)));
}

int moduleVerdict(Session& session, Output& out, bool ok, const std::optional<QByteArray>& reply) {
    out.field(QStringLiteral("reply"), visible(reply));
    return session.verdict(ok);
}

int runModule(const ConnectionOptions& connection, QStringList args, Output& out) {
    const QString command = QStringLiteral("module");
    if (args.isEmpty() || args.front() != u"send")
        return badArguments(command, QStringLiteral("the one module subcommand is send"));
    args.removeFirst();
    if (args.size() == 2)
        args.append(QString());  // an empty module command sends the type and ID alone
    if (args.size() != 3) return badArguments(command, QStringLiteral("send wants TYPE ID TEXT"));
    const auto type = moduleType(args[0]);
    if (!type) return badArguments(command, QStringLiteral("TYPE is one of A, B, H, I, J, E"));
    if (!number(args[1], 0, 8))
        return badArguments(command, QStringLiteral("ID is a digit from 0 to 8"));
    if (const QString problem = kt::TypedCommandTextProblem(args[2]); !problem.isEmpty())
        return badArguments(command, problem);
    // The controller's address, "DD", the type letter and the ID go in front.
    const qsizetype room = kt::kMaxCrcCommandText - 4 - 2 - 1 - args[1].size();
    if (args[2].size() > room)
        return badArguments(command, QStringLiteral("module command too long: %1 characters, at "
                                                    "most %2")
                                         .arg(args[2].size())
                                         .arg(room));
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    out.field(QStringLiteral("type"), typeLetter(*type));
    const auto result = kt::ModuleCommandTest(session.link, session.address, *type,
                                              args[1].toLatin1(), kt::CommandTextBytes(args[2]));
    return moduleVerdict(session, out, result.ok, result.receiveText);
}

int runV5(const ConnectionOptions& connection, QStringList args, Output& out) {
    const QString command = QStringLiteral("v5");
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    if (sub == u"get-sn") {
        if (args.size() != 2 || !moduleType(args[0]) || !number(args[1], 0, 8))
            return badArguments(
                command, QStringLiteral("get-sn wants TYPE (A, B, H, I, J, E) and ID (0 to 8)"));
        Session session(connection, out);
        if (const auto failed = session.openAndLocate()) return *failed;
        const auto result = kt::GetV5Serial(session.link, session.address, *moduleType(args[0]),
                                            args[1].toLatin1());
        if (result.ok) out.field(QStringLiteral("serial"), latin1(result.serialText));
        return moduleVerdict(session, out, result.ok, result.receiveText);
    }
    if (sub == u"set-id") {
        if (args.size() != 3 || !moduleType(args[0]) || !isSerial(args[1]) ||
            !number(args[2], 1, 8))
            return badArguments(
                command,
                QStringLiteral(
                    "set-id wants TYPE, an eight-character serial number and a new ID (1 to 8)"));
        Session session(connection, out);
        if (const auto failed = session.openAndLocate()) return *failed;
        const auto result = kt::SetV5IdBySerial(session.link, session.address, *moduleType(args[0]),
                                                args[1].toLatin1(), *number(args[2], 1, 8) - 1);
        return moduleVerdict(session, out, result.ok, result.receiveText);
    }
    return badArguments(command, QStringLiteral("the v5 subcommands are get-sn and set-id"));
}

QJsonObject cardJson(const kt::CardTypeShown& shown) {
    return {{QStringLiteral("delay"), latin1(shown.sameCardText)},
            {QStringLiteral("uid-a"), shown.boxes.uidA},
            {QStringLiteral("block"), shown.boxes.block},
            {QStringLiteral("7-byte"), shown.boxes.sevenByte},
            {QStringLiteral("iso15693"), shown.boxes.iso15693},
            {QStringLiteral("uid-b"), shown.boxes.uidB},
            {QStringLiteral("guid-b"), shown.boxes.guidB},
            {QStringLiteral("green"), shown.greenMode}};
}

// --uid-a / --no-uid-a and so on; --delay N. false when an argument is unknown.
bool takeCardSettings(QStringList& args, kt::CardTypeSettings& settings, QString* why) {
    const std::pair<const char*, bool*> flags[] = {
        {"uid-a", &settings.boxes.uidA},       {"block", &settings.boxes.block},
        {"7-byte", &settings.boxes.sevenByte}, {"iso15693", &settings.boxes.iso15693},
        {"uid-b", &settings.boxes.uidB},       {"guid-b", &settings.boxes.guidB},
        {"green", &settings.greenMode},        {"reset", &settings.resetMode},
    };
    QString delay;
    if (!takeOption(args, QStringLiteral("--delay"), &delay)) {
        *why = QStringLiteral("--delay needs a number of 100 ms steps");
        return false;
    }
    if (!delay.isEmpty()) {
        if (!number(delay, 0, 65535)) {
            *why = QStringLiteral("--delay wants 0 to 65535 (steps of 100 ms)");
            return false;
        }
        settings.sameCardText = delay.toLatin1();
    }
    for (const auto& [name, value] : flags) {
        if (takeFlag(args, QStringLiteral("--%1").arg(QLatin1String(name)))) *value = true;
        if (takeFlag(args, QStringLiteral("--no-%1").arg(QLatin1String(name)))) *value = false;
    }
    return true;
}

int runV7(const ConnectionOptions& connection, QStringList args, Output& out) {
    const QString command = QStringLiteral("v7");
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    kt::CardTypeSettings settings;
    if (sub == u"set-card") {
        QString why;
        if (!takeCardSettings(args, settings, &why)) return badArguments(command, why);
    }
    const bool byId = sub == u"get-sn" || sub == u"get-card" || sub == u"set-card";
    if (byId && (args.size() != 1 || !number(args[0], 0, kt::kV7IdItems - 1)))
        return badArguments(command, QStringLiteral("%1 wants one module ID from 0 to 8").arg(sub));
    if (sub == u"find-id" && (args.size() != 1 || !isSerial(args[0])))
        return badArguments(command,
                            QStringLiteral("find-id wants one eight-character serial number"));
    if (sub == u"set-id" && (args.size() != 2 || !isSerial(args[0]) || !number(args[1], 1, 8)))
        return badArguments(
            command,
            QStringLiteral("set-id wants an eight-character serial number and a new ID (1 to 8)"));
    if (!byId && sub != u"find-id" && sub != u"set-id")
        return badArguments(
            command, QStringLiteral(
                         "the v7 subcommands are get-sn, find-id, set-id, get-card and set-card"));

    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    if (sub == u"get-sn" || sub == u"find-id") {
        const auto result = kt::GetV7SerialOrId(
            session.link, session.address, sub == u"get-sn", sub == u"get-sn" ? args[0].toInt() : 0,
            sub == u"find-id" ? args[0].toLatin1() : QByteArray());
        if (result.ok && result.serialText)
            out.field(QStringLiteral("serial"), latin1(result.serialText));
        if (result.ok && result.idIndex) out.field(QStringLiteral("id"), *result.idIndex);
        return moduleVerdict(session, out, result.ok, result.receiveText);
    }
    if (sub == u"set-id") {
        const auto result = kt::SetV7IdBySerial(session.link, session.address, args[0].toLatin1(),
                                                args[1].toInt() - 1);
        return moduleVerdict(session, out, result.ok, result.receiveText);
    }
    const auto result =
        sub == u"get-card"
            ? kt::GetV7CardType(session.link, session.address, args[0].toInt())
            : kt::SetV7CardType(session.link, session.address, args[0].toInt(), settings);
    if (result.ok && result.shown) {
        const QJsonObject card = cardJson(*result.shown);
        if (connection.json) {
            out.field(QStringLiteral("card"), card);
        } else {
            for (auto it = card.begin(); it != card.end(); ++it) out.field(it.key(), it.value());
        }
    }
    return moduleVerdict(session, out, result.ok, result.receiveText);
}

// --- firmware ---

// The bar of one phase on a terminal, redrawn in place.
void drawBar(const QString& phase, int position, int maximum) {
    constexpr int kWidth = 40;
    const int filled = maximum > 0 ? position * kWidth / maximum : 0;
    QTextStream(stdout) << '\r' << phase.leftJustified(8) << " [" << QString(filled, u'#')
                        << QString(kWidth - filled, u' ') << "] " << position << '/' << maximum
                        << (position >= maximum ? "\n" : "") << Qt::flush;
}

int runFirmware(const ConnectionOptions& connection, QStringList args, Output& out) {
    const QString command = QStringLiteral("firmware");
    const bool yes = takeFlag(args, QStringLiteral("--yes"));
    if (args.size() != 1) return badArguments(command, QStringLiteral("wants one firmware file"));
    const QString path = args[0];
    QString why;
    const auto contents = ReadBoundedInput(path, kt::kMaxFirmwareFileSize, &why);
    if (!contents) return badArguments(command, why);
    // Checked again once Connect named the family; an empty file never
    // reaches the controller.
    if (const kt::FirmwareFile early = kt::LoadFirmwareBytes(*contents, 0, {}); !early.ok())
        return badArguments(command, QStringLiteral("%1: %2").arg(InputName(path), early.cause));
    if (!yes)
        return badArguments(
            command,
            QStringLiteral("this rewrites the controller's program: add --yes to go ahead"));

    // The file is checked against the model Connect reads, so Connect always runs.
    Session session(connection, out);
    if (const auto failed = session.openAndLocate(true)) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), session.family);
    const kt::FirmwareFile file =
        kt::LoadFirmwareBytes(*contents, session.family, session.connected.versionText);
    out.field(QStringLiteral("model"), latin1(file.headerText));
    if (!file.image)
        return out.finish(kRejected,
                          QStringLiteral("family %1 has no firmware loader").arg(session.family));
    if (!file.ok())
        return out.finish(kBadArguments,
                          QStringLiteral("the file is made for %1, not for %2")
                              .arg(QString::fromLatin1(file.headerText),
                                   QString::fromLatin1(session.connected.versionText)));
    out.field(QStringLiteral("blocks"), file.image->blockCount());

    const bool terminal = !connection.json && ::isatty(STDOUT_FILENO);
    int maximum = 0;
    kt::FirmwareObserver observer;
    auto phaseName = [](kt::FirmwareBar bar) {
        return bar == kt::FirmwareBar::Program ? QStringLiteral("program")
                                               : QStringLiteral("verify");
    };
    observer.phaseStarted = [&](kt::FirmwareBar bar, int max) {
        maximum = max;
        if (terminal) drawBar(phaseName(bar), 0, maximum);
    };
    observer.progress = [&](kt::FirmwareBar bar, int position) {
        if (terminal) {
            drawBar(phaseName(bar), position, maximum);
            return;
        }
        out.event({{QStringLiteral("event"), QStringLiteral("progress")},
                   {QStringLiteral("phase"), phaseName(bar)},
                   {QStringLiteral("block"), position},
                   {QStringLiteral("blocks"), maximum}},
                  QStringLiteral("%1 %2/%3").arg(phaseName(bar)).arg(position).arg(maximum));
    };
    const kt::FirmwareResult result =
        kt::ProgramFirmware(session.link, session.address, session.family, *file.image, observer);
    return result.ok ? out.finish(kAccepted) : out.finish(kRejected, result.cause);
}

}  // namespace

bool isCommand(const QString& command) {
    static const QStringList commands = {QStringLiteral("connect"),
                                         QStringLiteral("send"),
                                         QStringLiteral("set-date"),
                                         QStringLiteral("alarm"),
                                         QStringLiteral("factory-reset"),
                                         QStringLiteral("reboot"),
                                         QStringLiteral("set-speed"),
                                         QStringLiteral("get-id"),
                                         QStringLiteral("find-id"),
                                         QStringLiteral("set-id"),
                                         QStringLiteral("dido"),
                                         QStringLiteral("poll"),
                                         QStringLiteral("module"),
                                         QStringLiteral("v5"),
                                         QStringLiteral("v7"),
                                         QStringLiteral("firmware")};
    return commands.contains(command);
}

int runCommand(const ConnectionOptions& connection, const QString& command, QStringList args) {
    Output out(command, connection.json);
    if (command == u"connect") return runConnect(connection, args, out);
    if (command == u"send") return runSend(connection, args, out);
    if (command == u"set-date" || command == u"alarm" || command == u"factory-reset" ||
        command == u"reboot" || command == u"set-speed")
        return runBasic(connection, command, args, out);
    if (command == u"get-id") return runGetId(connection, args, out);
    if (command == u"find-id") return runFindId(connection, args, out);
    if (command == u"set-id") return runSetId(connection, args, out);
    if (command == u"dido") return runDido(connection, args, out);
    if (command == u"poll") return runPoll(connection, args, out);
    if (command == u"module") return runModule(connection, args, out);
    if (command == u"v5") return runV5(connection, args, out);
    if (command == u"v7") return runV7(connection, args, out);
    if (command == u"firmware") return runFirmware(connection, args, out);
    return fail(kBadArguments,
                QStringLiteral("unknown command \"%1\" (see ktcli --help)").arg(command));
}

}  // namespace ktcli
