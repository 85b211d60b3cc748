#include "cli/command_table.h"
#include "cli/restart_countdown.h"
#include "cli/session.h"

#include "cli/bounded_input.h"
#include "cli/link_error_text.h"
#include "controller/basic_commands.h"
#include "controller/controller_id.h"
#include "link/command_text.h"
#include "link/link.h"
#include "link/visible_text.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTextStream>

namespace ktcli {
namespace {

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
        return out.finish(kRejected,
                          QStringLiteral("%1 of %2 lines failed")
                              .arg(failedLines)
                              .arg(applied + failedLines + skipped),
                          QStringLiteral("rejected"));  // the lines hold each one's cause
    if (skipped > 0)
        return out.finish(kBadArguments, QStringLiteral("%1 bad lines skipped").arg(skipped));
    return out.finish(kAccepted);
}

}  // namespace

int runConnect(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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
                              .arg(QString::fromLatin1(result.address), session.cause()),
                          QString::fromLatin1(kCauseNotIdentified));
    out.field(QStringLiteral("family"), kt::CodeOf(result.family));
    out.field(QStringLiteral("version"), latin1(result.versionText));
    // Found and identified is a Connect that worked, as in the window; a
    // last "AS" without an answer only leaves the serial number out.
    out.field(QStringLiteral("serial"),
              result.serialNumber.isEmpty() ? QJsonValue() : latin1(result.serialNumber));
    return out.finish(kAccepted);
}

int runSend(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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
    out.frame(QStringLiteral("reply"), reply);
    out.field(QStringLiteral("length"), reply.size());
    if (!connection.json) QTextStream(stdout) << (accepted ? "accepted" : "rejected") << Qt::endl;
    return accepted ? out.finish(kAccepted)
                    : out.finish(kRejected, LinkErrorText(session.link.lastError()));
}

// set-date, alarm, factory-reset, reboot, set-speed: Connect, then one operation.
int runBasic(const ConnectionOptions& connection, const QString& command, QStringList args,
             Output& out) {
    // Factory settings erase the controller's settings and cards: ask first.
    const bool yes = command == u"factory-reset" && takeFlag(args, QStringLiteral("--yes"));
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
    if (command == u"factory-reset" && !yes)
        return badArguments(command, QStringLiteral("this erases the controller's settings and "
                                                    "cards: add --yes to go ahead"));

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
        // The digits the controller got, beside the ISO 8601 form.
        out.field(QStringLiteral("clock"), sent.toString(QStringLiteral("yyyyMMddHHmmss")));
        return session.verdict(ok);
    }
    if (alarm) {
        out.field(QStringLiteral("alarm"), *alarm);
        return session.verdict(kt::AlarmTest(session.link, session.address, *alarm).ok);
    }
    if (command == u"factory-reset")
        return session.verdict(kt::FactoryReset(session.link, session.address, session.family, {},
                                                restartCountdown("Set factory", connection.json))
                                   .ok);
    if (command == u"reboot")
        return session.verdict(kt::Reboot(session.link, session.address, session.family, {},
                                          restartCountdown("Set reboot", connection.json))
                                   .ok);
    if (session.family == kt::Family::ThreeDigit)
        return out.finish(kRejected,
                          QStringLiteral("a family 4 controller cannot change its speed"));
    const kt::SpeedChangeResult result =
        kt::ChangeSpeed(session.link, session.address, session.family, *speed);
    if (result.speedBox) out.field(QStringLiteral("line"), result.speedBox->text);
    return session.verdict(result.ok);
}

int runGetId(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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

int runFindId(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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

int runSetId(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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

int runCommandTest(const ConnectionOptions& connection, const QString&, QStringList args,
                   Output& out) {
    const QString command = QStringLiteral("command");
    if (args.size() != 1)
        return badArguments(command, QStringLiteral("takes one command text (\"\" for none)"));
    const QString& text = args.front();
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() > 0xFF)
            return badArguments(command,
                                QStringLiteral("the command text holds a control byte or a "
                                               "character outside Latin-1"));
    }
    // Checked before the port opens: the address is at most four characters.
    if (text.size() + 4 > kt::kMaxCrcCommandText)
        return badArguments(command,
                            QStringLiteral("command text too long: %1 characters, at most %2")
                                .arg(text.size())
                                .arg(kt::kMaxCrcCommandText - 4));

    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("sent"), latin1(session.address + text.toLatin1()));
    const kt::CommandTestResult result =
        kt::CommandTest(session.link, session.address, text.toLatin1());
    out.frame(QStringLiteral("reply"), result.receiveText);
    return session.verdict(result.ok);
}

}  // namespace ktcli
