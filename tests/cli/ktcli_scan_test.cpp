// ktcli scan, ktcli module scan and the restart countdown, as real processes
// against a ktsim process on a pty.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <pty.h>
#include <unistd.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun ktcli(const QStringList& args, int waitMs = 10000) {
    QProcess p;
    p.start(QStringLiteral(KTCLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(waitMs));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A ktsim process on a pty, with the slave path it printed.
class Ktsim {
public:
    explicit Ktsim(QStringList args) {
        // A scan's or survey's silent request costs ktcli 100 ms instead of
        // 300 against this pty (ktcli_test holds the limit itself).
        qputenv("KTCLI_REPLY_LIMIT_MS", "100");
        args.prepend(QStringLiteral("--pty"));
        process_.start(QStringLiteral(KTSIM_PATH), args);
        const QRegularExpression line(QStringLiteral("^pty (\\S+)$"),
                                      QRegularExpression::MultilineOption);
        QString output;
        while (pty_.isEmpty() && process_.waitForReadyRead(5000)) {
            output += QString::fromUtf8(process_.readAllStandardOutput());
            pty_ = line.match(output).captured(1);
        }
    }
    ~Ktsim() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    QString pty() const { return pty_; }

private:
    QProcess process_;
    QString pty_;
};

QList<QJsonObject> jsonLines(const QString& out) {
    QList<QJsonObject> objects;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
        objects << QJsonDocument::fromJson(line.toUtf8()).object();
    return objects;
}

TEST(KtcliScan, FindsA115200ControllerAndRefusesTcp) {
    Ktsim sim({QStringLiteral("--baud"), QStringLiteral("115200")});
    ASSERT_FALSE(sim.pty().isEmpty());
    CliRun run = ktcli({"--serial", sim.pty(), "--json", "scan"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto lines = jsonLines(run.out);
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    EXPECT_EQ(lines[0]["line"].toString(), "19200,e,8,1");
    EXPECT_FALSE(lines[0]["answered"].toBool());
    EXPECT_EQ(lines[0]["fault"].toString(), "no-answer");
    EXPECT_EQ(lines[1]["number"].toInt(), 2);
    EXPECT_TRUE(lines[1]["answered"].toBool());
    EXPECT_EQ(lines[1]["address"].toString(), "0000");
    EXPECT_TRUE(lines[2]["ok"].toBool());
    EXPECT_EQ(lines[2]["line"].toString(), "115200,n,8,1");
    EXPECT_EQ(lines[2]["tried"].toInt(), 2);

    run = ktcli({"--serial", sim.pty(), "scan"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("\nline 115200,n,8,1\naddress 0000\n")) << run.out.toStdString();

    run = ktcli({"--net", "127.0.0.1:1", "scan"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("converter")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

TEST(KtcliScan, ModuleScanListsExactlyTheModulesKtsimWasGiven) {
    // A crowded bus with a gap in every type, IDs 0 and 8 among them: each
    // silent address waits out the silence limit, each module only its
    // pause, so most addresses answer.
    const char letters[] = "ABHIJE";
    const QStringList typeNames = {"KTRA1/A3/B3",    "KTIOM-2A/24", "KTRB5/BR/CR",
                                   "KTRC5/C6/CR/CD", "KTRD5/DR/ED", "KTPRINT"};
    QStringList args, expected;
    for (int type = 0; type < 6; ++type) {
        for (int id = 0; id <= 8; ++id) {
            if (id == (type * 3) % 9) continue;  // the gap: 0, 3, 6, 0, 3, 6
            const QString serial =
                QStringLiteral("150%1").arg(type * 1000 + id, 5, 10, QChar(u'0'));
            args << "--v5" << QStringLiteral("%1:%2:%3").arg(letters[type]).arg(id).arg(serial);
            expected << QStringLiteral("V5 %1 %2 %3").arg(typeNames[type]).arg(id).arg(serial);
        }
    }
    for (int id = 0; id <= 8; ++id) {
        if (id == 4) continue;
        const QString serial = QStringLiteral("1703000%1").arg(id);
        args << "--v7" << QStringLiteral("%1:%2").arg(id).arg(serial);
        expected << QStringLiteral("V7 V7 %1 %2").arg(id).arg(serial);
    }
    Ktsim sim(args);
    ASSERT_FALSE(sim.pty().isEmpty());
    const CliRun run = ktcli({"--serial", sim.pty(), "--json", "module", "scan"}, 60000);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList modules;
    const auto lines = jsonLines(run.out);
    for (const QJsonObject& line : lines)
        if (line["event"].toString() == u"module")
            modules << QStringLiteral("%1 %2 %3 %4")
                           .arg(line["kind"].toString(), line["type"].toString())
                           .arg(line["id"].toInt())
                           .arg(line["serial"].toString());
    EXPECT_EQ(modules, expected);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.back()["modules"].toInt(), expected.size());
    EXPECT_EQ(lines.back()["asked"].toInt(), 63);
    EXPECT_TRUE(lines.back()["ok"].toBool());
}

TEST(KtcliScan, RebootCountsDownALineASecondOnATerminalOnly) {
    // Two controllers, so that both runs wait out the restart side by side.
    const QStringList family4 = {"--family", "4", "--address", "012", "--reboot-ms", "1000"};
    Ktsim sim(family4), other(family4);
    ASSERT_FALSE(sim.pty().isEmpty());
    ASSERT_FALSE(other.pty().isEmpty());
    const auto reboot = [](const QString& pty) {
        return QStringList{"--serial", pty, "--address", "012", "--family", "4", "reboot"};
    };

    // stdout on a terminal of its own.
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    QProcess p;
    p.setChildProcessModifier([slave] { ::dup2(slave, STDOUT_FILENO); });
    p.start(QStringLiteral(KTCLI_PATH), reboot(sim.pty()));
    // Meanwhile into a pipe, as a script reads it: no countdown.
    const CliRun piped = ktcli(reboot(other.pty()));
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_FALSE(piped.out.contains("( 1 )")) << piped.out.toStdString();
    EXPECT_TRUE(p.waitForFinished(10000));
    ::close(slave);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QByteArray shown;
    char buffer[1024];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, n);
    ::close(master);
    EXPECT_TRUE(
        shown.contains("Set reboot ( 4 )\r\nSet reboot ( 3 )\r\nSet reboot ( 2 )\r\n"
                       "Set reboot ( 1 )\r\n"))
        << shown.toStdString();
}

}  // namespace

namespace {

// The one sentence of the link for a port another program holds, the same
// from scan as from connect.
TEST(KtcliScan, APortInUseIsToldInOneWordingByScanAndConnect) {
    Ktsim sim({});
    ASSERT_FALSE(sim.pty().isEmpty());
    QProcess holder;
    const QRegularExpression sentence(
        QStringLiteral("serial port \\S+ is in use by another program[^\\n]*"));
    CliRun connect;
    for (int tries = 0; tries < 50; ++tries) {
        // A connect of ours that held the port when the holder came sends the
        // holder away "in use": start it again.
        if (holder.state() == QProcess::NotRunning) {
            holder.start(QStringLiteral(KTCLI_PATH),
                         {"--serial", sim.pty(), "dido", "--seconds", "8"});
            holder.waitForStarted(3000);
            ::usleep(200000);
        }
        connect = ktcli({"--serial", sim.pty(), "connect"});
        if (connect.exitCode == 3) break;
        ::usleep(100000);
    }
    const CliRun scan = ktcli({"--serial", sim.pty(), "scan"});
    holder.kill();
    holder.waitForFinished(3000);
    EXPECT_EQ(connect.exitCode, 3) << connect.err.toStdString();
    const QString fromConnect = sentence.match(connect.err).captured(0);
    EXPECT_FALSE(fromConnect.isEmpty()) << connect.err.toStdString();
    EXPECT_TRUE(fromConnect.contains(u"(ktcli, process ")) << fromConnect.toStdString();
    EXPECT_EQ(sentence.match(scan.err + scan.out).captured(0), fromConnect)
        << scan.err.toStdString() << scan.out.toStdString();
    EXPECT_FALSE(connect.err.contains(u"another program holds the port"));
}

}  // namespace
