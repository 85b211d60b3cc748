#include "cli/command_table.h"
#include "cli/session.h"

#include "link/command_text.h"
#include "modules/card_type.h"
#include "modules/module_requests.h"
#include "modules/pass_through.h"
#include "modules/v7_registers.h"

#include <QJsonObject>

namespace ktcli {
namespace {

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
    out.frame(QStringLiteral("reply"), reply);
    return session.verdict(ok);
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

}  // namespace

int runModule(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
    const QString command = QStringLiteral("module");
    args.removeFirst();  // "send": "module scan" is runModuleScan's
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

int runV5(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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
int runV7(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
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

}  // namespace ktcli
