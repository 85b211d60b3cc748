// ktcli and ktsim as a technician runs them: real processes, real output,
// real exit codes.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runKtcli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KTCLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(10000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A ktsim process, with the endpoint it printed.
class KtsimProcess {
public:
    explicit KtsimProcess(const QStringList& args)
    {
        process_.start(QStringLiteral(KTSIM_PATH), args);
        const QRegularExpression line(QStringLiteral("^(tcp|pty) (\\S+)$"), QRegularExpression::MultilineOption);
        while (process_.waitForReadyRead(5000)) {
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
            if (args.contains(u"--tcp") && !tcp_.isEmpty())
                break;
            for (auto it = line.globalMatch(output_); it.hasNext();) {
                const auto m = it.next();
                (m.captured(1) == u"tcp" ? tcp_ : pty_) = m.captured(2);
            }
            if ((!args.contains(u"--tcp") || !tcp_.isEmpty()) && (!args.contains(u"--pty") || !pty_.isEmpty()))
                break;
        }
    }
    ~KtsimProcess()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    QString tcp() const { return tcp_; }
    QString pty() const { return pty_; }
    QProcess& process() { return process_; }

private:
    QProcess process_;
    QString output_;
    QString tcp_;
    QString pty_;
};

TEST(Ktcli, IdentifiesEachFamilyOverTcp)
{
    // The DB reply carries the model at positions 8 to 12 and the version
    // code at 16 and 17; family 4 answers AV instead, at a three-digit address.
    for (int family = 1; family <= 9; ++family) {
        SCOPED_TRACE(family);
        KtsimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--family"), QString::number(family)});
        ASSERT_FALSE(sim.tcp().isEmpty());
        const QString text = family == 4 ? QStringLiteral("000AV") : QStringLiteral("0000DB");
        const CliRun run = runKtcli({QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), text});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(u"\naccepted")) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(family == 4 ? u"length 20" : u"length 29")) << run.out.toStdString();
        // The frame is shown with visible control bytes: ETX first, CR last.
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("reply ") + QChar(0x2403))) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QChar(0x240D)));
    }
}

TEST(Ktcli, SendsOverThePseudoTerminal)
{
    KtsimProcess sim({QStringLiteral("--pty"), QStringLiteral("--family"), QStringLiteral("7")});
    ASSERT_FALSE(sim.pty().isEmpty());
    CliRun run = runKtcli({QStringLiteral("--serial"), sim.pty(), QStringLiteral("--line"), QStringLiteral("115200,n,8,1"),
                        QStringLiteral("send"), QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"0000AC")) << run.out.toStdString();
    // The default line settings ask a pty for even parity, which it refuses;
    // the port still opens with what it accepts.
    run = runKtcli({QStringLiteral("--serial"), sim.pty(), QStringLiteral("send"), QStringLiteral("0000AS")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"length 21"));
}

TEST(Ktcli, ExitStatusNamesTheOutcome)
{
    KtsimProcess sim({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--fault"), QStringLiteral("DB:badcrc")});
    ASSERT_FALSE(sim.tcp().isEmpty());

    // A reply that fails its check is shown, and rejected.
    CliRun run = runKtcli({QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), QStringLiteral("0000DB")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(u"\nrejected")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(u"length 29"));
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    EXPECT_EQ(run.err.trimmed().count(u'\n'), 0) << "one line on stderr";

    // A command nobody answers fails within the network limit.
    run = runKtcli({QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), QStringLiteral("9999ZZ")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"1200 ms")) << run.err.toStdString();

    // Nothing to open: exit 3 with the cause.
    run = runKtcli({QStringLiteral("--serial"), QStringLiteral("/dev/kt-no-such-port"), QStringLiteral("send"),
                    QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(u"no such serial port")) << run.err.toStdString();
    run = runKtcli({QStringLiteral("--net"), QStringLiteral("localhost:5003"), QStringLiteral("send"), QStringLiteral("0000AC")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(u"dotted-decimal")) << run.err.toStdString();

    // Bad arguments: exit 2, nothing sent.
    for (const QStringList& args : {QStringList{QStringLiteral("send"), QStringLiteral("0000AC")},
                                    QStringList{QStringLiteral("--net"), QStringLiteral("127.0.0.1"), QStringLiteral("send"), QStringLiteral("x")},
                                    QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("send")},
                                    QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("frobnicate")},
                                    QStringList{QStringLiteral("--serial"), QStringLiteral("x"), QStringLiteral("--line"),
                                                QStringLiteral("fast"), QStringLiteral("send"), QStringLiteral("x")},
                                    QStringList{QStringLiteral("--net"), sim.tcp(), QStringLiteral("send"), QString(1494, u'0')}}) {
        run = runKtcli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').left(80).toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

}  // namespace
