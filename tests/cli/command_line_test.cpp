// ktcli's command line without a process: where options may stand, what an
// unknown name gets back, what --net takes; and the poll record's fields.
#include "cli/command_line.h"
#include "cli/command_table.h"
#include "cli/help.h"
#include "cli/poll_record.h"

#include <gtest/gtest.h>

#include <QJsonArray>

namespace {

using ktcli::CommandLine;
using ktcli::CommandLineError;

QStringList words(const char* text) {
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

std::optional<CommandLine> parse(const char* text, CommandLineError* error = nullptr) {
    CommandLineError ignored;
    return ktcli::ParseCommandLine(words(text), error ? error : &ignored);
}

QString errorOf(const char* text) {
    CommandLineError error;
    EXPECT_FALSE(parse(text, &error)) << text;
    return error.message;
}

TEST(CommandLine, Rfc2217UrlSetsTheConvertersLineAndPlainNetStaysRaw) {
    auto line = parse("--net rfc2217://127.0.0.1:2217/ --line 115200,n,8,1 scan");
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->connection.port.NetSetLine);
    EXPECT_EQ(line->connection.netHost, u"127.0.0.1");
    EXPECT_EQ(line->connection.port.NetPort, u"2217");
    EXPECT_EQ(line->connection.port.NetBaudRate, u"115200,n,8,1");
    EXPECT_EQ(line->connection.port.ComBaudRate, u"19200,e,8,1");  // the serial line's own
    line = parse("--net RFC2217://[::1]:2217 connect");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->connection.netHost, u"::1");
    EXPECT_EQ(line->connection.port.NetBaudRate, u"19200,e,8,1");

    line = parse("--net 127.0.0.1:5003 connect");
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->connection.port.NetSetLine);
    EXPECT_TRUE(errorOf("--net 127.0.0.1:5003 --line 9600,n,8,1 connect").contains(u"rfc2217://"));
    EXPECT_TRUE(errorOf("--net rfc2217:// connect").contains(u"HOST:PORT"));
    EXPECT_TRUE(errorOf("--net telnet://127.0.0.1:5003 connect").contains(u"HOST:PORT"));
}

TEST(CommandLine, SharedOptionsBeforeOrAfterTheCommandMeanTheSame) {
    const char* forms[] = {
        "--net 127.0.0.1:5003 --json dido --out 1,3 --seconds 2",
        "dido --net 127.0.0.1:5003 --out 1,3 --json --seconds 2",
        "dido --seconds=2 --out=1,3 --net=127.0.0.1:5003 --json",
    };
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        const auto line = parse(form);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->action, CommandLine::Action::Run);
        EXPECT_EQ(line->command, u"dido");
        EXPECT_TRUE(line->connection.json);
        EXPECT_EQ(line->connection.port.kind, kt::PortKind::Network);
        EXPECT_EQ(line->connection.netHost, u"127.0.0.1");
        EXPECT_EQ(line->connection.port.NetPort, u"5003");
        // The command's own options reach it in one order, whatever was typed.
        EXPECT_EQ(line->arguments, words("--seconds 2 --out 1,3"));
    }
    // A group's subcommand and its arguments, options in between.
    const auto line = parse("v7 --serial ttyUSB0 set-card 1 --no-green --address 0001 --family 7");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->command, u"v7 set-card");
    EXPECT_EQ(line->arguments, words("set-card --no-green 1"));
    EXPECT_EQ(line->connection.address, "0001");
    // After "--" nothing is an option: a command text may start with a dash.
    const auto text = parse("--net 127.0.0.1:5003 send -- --xor");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->arguments, QStringList{QStringLiteral("--xor")});
}

TEST(CommandLine, FamilyTakesTheCodesOneToNineWithAnAddressOfItsLength) {
    auto line = parse("--net 127.0.0.1:5003 --address 012 --family 4 dido");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->connection.family, kt::Family::ThreeDigit);
    line = parse("--net 127.0.0.1:5003 --address 0001 --family 9 dido");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->connection.family, kt::Family::KT660);
    line = parse("--net 127.0.0.1:5003 --address 0001 --family 1 dido");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->connection.family, kt::Family::V3);
    for (const char* code : {"0", "10", "-4", "x"}) {
        const QString text = QStringLiteral("--net 127.0.0.1:5003 --address 0001 --family %1 dido")
                                 .arg(QLatin1String(code));
        EXPECT_FALSE(parse(text.toLatin1().constData())) << code;
    }
    EXPECT_FALSE(parse("--net 127.0.0.1:5003 --address 0001 --family 4 dido"));
    EXPECT_FALSE(parse("--net 127.0.0.1:5003 --address 012 --family 7 dido"));
    EXPECT_FALSE(parse("--net 127.0.0.1:5003 --family 7 dido"));
    EXPECT_FALSE(parse("--net 127.0.0.1:5003 --address 0001 dido"));
}

TEST(CommandLine, UnknownNamesAreNamedWithTheNearestOne) {
    EXPECT_EQ(errorOf("--net 127.0.0.1:5003 conect"),
              u"unknown command 'conect'; did you mean 'connect'? (see ktcli --help)");
    EXPECT_EQ(errorOf("--net 127.0.0.1:5003 frobnicate"),
              u"unknown command 'frobnicate' (see ktcli --help)");
    EXPECT_TRUE(
        errorOf("--net 127.0.0.1:5003 v7 get-crd 1").contains(u"did you mean 'v7 get-card'"));
    EXPECT_EQ(errorOf("--netx 127.0.0.1:5003 connect"),
              u"unknown option '--netx'; did you mean '--net'?");
    // Known to another command only: refused for this one, and no wild guess.
    EXPECT_EQ(errorOf("--net 127.0.0.1:5003 connect --out 1"),
              u"unknown option '--out' for connect");
    EXPECT_TRUE(
        errorOf("--net 127.0.0.1:5003 dido --secnds 1").contains(u"did you mean '--seconds'"));
    EXPECT_TRUE(errorOf("--net 127.0.0.1:5003 v7").contains(u"v7 wants a subcommand"));
    EXPECT_TRUE(errorOf("--net 127.0.0.1:5003 dido --seconds").contains(u"--seconds"));
    EXPECT_TRUE(errorOf("connect").contains(u"--net HOST:PORT"));
    EXPECT_TRUE(errorOf("--net 127.0.0.1:5003").contains(u"no command"));
    EXPECT_TRUE(errorOf("--net 127.0.0.1:1 --serial ttyUSB0 connect").contains(u"once"));
    // The error knows --json and the command, for the JSON failure object.
    CommandLineError error;
    EXPECT_FALSE(parse("connect --json --id five --net 127.0.0.1:5003", &error));
    EXPECT_TRUE(error.json);
    EXPECT_EQ(error.command, u"connect");
}

TEST(CommandLine, HelpAndVersionNeedNoConnection) {
    auto line = parse("help");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->action, CommandLine::Action::Help);
    EXPECT_TRUE(line->command.isEmpty());
    line = parse("help v7 set-card");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->command, u"v7 set-card");
    line = parse("factory-reset --help");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->action, CommandLine::Action::Help);
    EXPECT_EQ(line->command, u"factory-reset");
    // Help on help, either way round, is help's own usage, not an unknown command.
    for (const char* args : {"help help", "help --help"}) {
        line = parse(args);
        ASSERT_TRUE(line) << args;
        EXPECT_EQ(line->action, CommandLine::Action::Help);
        EXPECT_EQ(line->command, u"help");
    }
    line = parse("--version");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->action, CommandLine::Action::Version);
    EXPECT_TRUE(errorOf("help frob").contains(u"unknown command 'frob'"));
}

// The man page and the shell completion read the help: a command, a
// subcommand or an option the help does not name is one they never offer.
TEST(CommandTable, EveryCommandIsListedAndItsHelpNamesItsOptions) {
    const QString overview = ktcli::usage();
    for (const QString& name : ktcli::CommandNames()) {
        SCOPED_TRACE(name.toStdString());
        const QString help = ktcli::commandHelp(name);
        ASSERT_NE(help, overview);
        EXPECT_TRUE(help.startsWith(u"Usage: ktcli "));
        EXPECT_TRUE(help.contains(u"\nExample"));
        const QString group = name.section(u' ', 0, 0);
        const QString last = name.section(u' ', -1);
        EXPECT_TRUE(help.contains(u' ' + last + u' ') || help.contains(u' ' + last + u'\n'));
        bool listed = false;
        for (const ktcli::CommandSpec& spec : ktcli::CommandTable()) {
            for (const ktcli::HelpLine& line : spec.lines) {
                const QString usage = QString::fromUtf8(line.usage);
                listed = listed || (usage.section(u' ', 0, 0) == group && usage.contains(last) &&
                                    overview.contains(QStringLiteral("\n  ") + usage));
            }
        }
        EXPECT_TRUE(listed);
        for (const ktcli::OptionSpec& option : ktcli::FindCommand(name)->options) {
            const QString flag = option.name.startsWith(u"no-") ? option.name.mid(3) : option.name;
            EXPECT_TRUE(help.contains(QStringLiteral("--") + option.name) ||
                        help.contains(QStringLiteral("--[no-]") + flag))
                << option.name.toStdString();
        }
    }
    // Each listed word is one the parser takes.
    for (const ktcli::CommandSpec& spec : ktcli::CommandTable()) {
        for (const ktcli::HelpLine& line : spec.lines) {
            const QString first = QString::fromUtf8(line.usage).section(u' ', 0, 0);
            EXPECT_TRUE(ktcli::FindCommand(first) || ktcli::IsGroup(first) || first == u"help")
                << line.usage;
        }
    }
    EXPECT_EQ(ktcli::commandHelp(QStringLiteral("v7 set-card")),
              ktcli::commandHelp(QStringLiteral("v7")));
    EXPECT_EQ(ktcli::commandHelp(QStringLiteral("frob")), overview);
}

TEST(CommandLine, NetTakesHostNamesIpv6AndPortsOneTo65535) {
    struct Case {
        const char* net;
        const char* host;  // nullptr: refused
        int port;
    };
    const Case cases[] = {
        {"127.0.0.1:5003", "127.0.0.1", 5003},
        {"localhost:1", "localhost", 1},
        {"converter-3.example.org:65535", "converter-3.example.org", 65535},
        {"[::1]:5003", "::1", 5003},
        {"::1:5003", nullptr, 0},  // IPv6 wants brackets
        {"[::1]5003", nullptr, 0},
        {"[localhost]:5003", nullptr, 0},
        {"127.0.0.1:0", nullptr, 0},
        {"127.0.0.1:65536", nullptr, 0},
        {"127.0.0.1:+5003", nullptr, 0},
        {"127.0.0.1:", nullptr, 0},
        {"127.0.0.1", nullptr, 0},
        {":5003", nullptr, 0},
        {"bad_host!:5003", nullptr, 0},
        {"-x:5003", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.net);
        QString error;
        const auto target = ktcli::ParseNetTarget(QString::fromUtf8(c.net), &error);
        if (!c.host) {
            EXPECT_FALSE(target);
            EXPECT_TRUE(error.contains(u"--net")) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(target) << error.toStdString();
        EXPECT_EQ(target->host, QString::fromUtf8(c.host));
        EXPECT_EQ(target->port, c.port);
    }
}

TEST(PollRecord, FieldsBesideTheWindowsText) {
    QJsonObject fields = ktcli::PollRecordFields("[3] 2026/12/07  14:05:09 (0001) [12345]");
    EXPECT_EQ(fields[u"code"].toString(), u"3");
    EXPECT_EQ(fields[u"record-time"].toString(), u"2026-12-07T14:05:09");
    EXPECT_EQ(fields[u"numbers"].toArray(),
              (QJsonArray{QStringLiteral("0001"), QStringLiteral("12345")}));

    fields = ktcli::PollRecordFields("20261207140509 (0002) (03)");  // family 4
    EXPECT_TRUE(fields[u"code"].isNull());
    EXPECT_EQ(fields[u"record-time"].toString(), u"2026-12-07T14:05:09");
    EXPECT_EQ(fields[u"numbers"].toArray(),
              (QJsonArray{QStringLiteral("0002"), QStringLiteral("03")}));

    // Fields are copied as received: a time that is none stays text only.
    fields = ktcli::PollRecordFields("[1] 2026/13/45  99:05:09 (0001) [12345]");
    EXPECT_TRUE(fields[u"record-time"].isNull());
    EXPECT_EQ(fields[u"code"].toString(), u"1");
    fields = ktcli::PollRecordFields(QByteArray("[\x01] short", 10));
    EXPECT_TRUE(fields[u"numbers"].isNull());
    EXPECT_EQ(fields[u"record"].toString().size(), 10);
    EXPECT_TRUE(
        ktcli::IsoTime("2026/02/30  10:00:00", QStringLiteral("yyyy/MM/dd  HH:mm:ss")).isNull());
}

}  // namespace
