#include "cli/command_line.h"

#include "cli/command_table.h"

#include <QCommandLineParser>
#include <QSet>

namespace ktcli {
namespace {

// Every option name any command knows, and whether it takes a value: the
// first pass needs it to tell an option's value from the command's name.
QHash<QString, bool> everyOption() {
    QHash<QString, bool> names;
    for (const QCommandLineOption& option : GlobalOptions()) {
        for (const QString& name : option.names())
            names.insert(name, !option.valueName().isEmpty());
    }
    for (const CommandSpec& spec : CommandTable()) {
        for (const OptionSpec& option : spec.options)
            names.insert(option.name, !option.valueName.isEmpty());
    }
    return names;
}

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString unknownOption(const QString& name, const QStringList& known, const QString& command = {}) {
    QString message = QStringLiteral("unknown option '%1'").arg(dashed(name).left(80));
    if (!command.isEmpty()) message += QStringLiteral(" for %1").arg(command);
    const QString closest = ClosestName(name, known);
    if (!closest.isEmpty()) message += QStringLiteral("; did you mean '%1'?").arg(dashed(closest));
    return message;
}

QString unknownCommand(const QString& name) {
    QString message = QStringLiteral("unknown command '%1'").arg(name.left(80));
    QStringList candidates = CommandNames();
    candidates << QStringLiteral("help");
    const QString closest = ClosestName(name, candidates);
    if (!closest.isEmpty()) message += QStringLiteral("; did you mean '%1'?").arg(closest);
    return message + QStringLiteral(" (see ktcli --help)");
}

// The words that are not options, in order, as far as the option table can
// tell them apart; nullopt with the unknown option's message.
std::optional<QStringList> firstPassWords(const QStringList& args, QString* error) {
    const QHash<QString, bool> options = everyOption();
    QStringList words;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--") {
            words += args.mid(i + 1);
            break;
        }
        if (arg.size() < 2 || !arg.startsWith(u'-')) {
            words.append(arg);
            continue;
        }
        QString name = arg.mid(arg.startsWith(u"--") ? 2 : 1);
        const bool inlineValue = name.contains(u'=');
        name = name.section(u'=', 0, 0);
        const auto it = options.constFind(name);
        if (it == options.constEnd()) {
            *error = unknownOption(name, options.keys());
            return std::nullopt;
        }
        if (*it && !inlineValue) ++i;  // its value
    }
    return words;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(const QStringList& args, CommandLineError* error) {
    error->json = args.contains(QStringLiteral("--json"));
    auto bad = [error](const QString& message) {
        error->message = message;
        return std::nullopt;
    };
    QString message;
    const auto words = firstPassWords(args, &message);
    if (!words) return bad(message);

    CommandLine line;
    if (!words->isEmpty()) {
        const bool help = words->front() == u"help";
        const QStringList named = help ? words->mid(1) : *words;
        if (!named.isEmpty()) {
            line.command = named[0];
            if (IsGroup(named[0])) {
                if (named.size() < 2) {
                    if (help || args.contains(QStringLiteral("--help")) ||
                        args.contains(QStringLiteral("-h"))) {
                        line.action = CommandLine::Action::Help;
                        return line;
                    }
                    error->command = named[0];
                    return bad(
                        QStringLiteral("%1 wants a subcommand (see ktcli help %1)").arg(named[0]));
                }
                line.command += u' ' + named[1];
            }
            // "help help" tells what help itself does, as "help --help" does.
            const bool helpOnHelp = help && line.command == u"help";
            if (!helpOnHelp && !FindCommand(line.command)) return bad(unknownCommand(line.command));
        }
        if (help) {
            // "help --help" tells what help itself does.
            if (named.isEmpty() &&
                (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))))
                line.command = QStringLiteral("help");
            line.action = CommandLine::Action::Help;
            return line;
        }
    }
    error->command = line.command;

    // The second pass: the shared options and this command's own.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    QStringList known;
    for (const QCommandLineOption& option : GlobalOptions()) {
        parser.addOption(option);
        known += option.names();
    }
    const CommandSpec* spec = FindCommand(line.command);
    if (spec) {
        for (const OptionSpec& option : spec->options) {
            parser.addOption(option.valueName.isEmpty()
                                 ? QCommandLineOption(option.name)
                                 : QCommandLineOption(option.name, {}, option.valueName));
            known.append(option.name);
        }
    }
    if (!parser.parse(QStringList{QStringLiteral("ktcli")} + args)) {
        if (!parser.unknownOptionNames().isEmpty())
            return bad(unknownOption(parser.unknownOptionNames().first(), known,
                                     spec ? spec->name : QString()));
        return bad(parser.errorText().left(200));
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (!spec) return bad(QStringLiteral("no command given (see ktcli --help)"));
    const auto connection = ConnectionFromParser(parser, &message);
    if (!connection) return bad(message);
    line.connection = *connection;
    if (!line.connection.chosen)
        return bad(QStringLiteral(
            "say where the controller is: --net HOST:PORT or --serial PORT (see ktcli --help)"));

    // A group's run function reads its subcommand first, then the options.
    const QStringList positional = parser.positionalArguments().mid(1);
    if (spec->name.contains(u' ')) line.arguments.append(positional.value(0));
    for (const OptionSpec& option : spec->options) {
        // values() of a switch makes Qt 6.8 complain on stderr.
        if (option.valueName.isEmpty()) {
            if (parser.isSet(option.name))
                line.arguments.append(QStringLiteral("--") + option.name);
            continue;
        }
        for (const QString& value : parser.values(option.name))
            line.arguments << QStringLiteral("--") + option.name << value;
    }
    line.arguments += positional.mid(spec->name.contains(u' ') ? 1 : 0);
    return line;
}

}  // namespace ktcli
