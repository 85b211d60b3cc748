// The tone's samples, and the system tone with no server, with a server that
// never answers, and (where the pulseaudio daemon is installed) with a
// private server whose sink we listen to.
#include "app/tone.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

using namespace kt;
using Samples = std::vector<std::int16_t>;

namespace {

// Frequency by zero crossings: a sine of f Hz changes sign 2f times a
// second. Zeros (the faded edges round to them) carry no sign.
double measuredFrequency(const Samples& samples, int rate) {
    int crossings = 0, lastSign = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const int sign = (samples[i] > 0) - (samples[i] < 0);
        if (sign != 0 && lastSign != 0 && sign != lastSign) {
            if (crossings++ == 0) first = i;
            last = i;
        }
        if (sign != 0) lastSign = sign;
    }
    return crossings < 2 ? 0 : (crossings - 1) / 2.0 / (double(last - first) / rate);
}

int peak(const Samples& s, std::size_t from, std::size_t to) {
    int p = 0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        p = std::max(p, std::abs(int{s[i]}));
    return p;
}

struct PulseServerVariable {
    explicit PulseServerVariable(const QByteArray& value) { qputenv("PULSE_SERVER", value); }
    ~PulseServerVariable() { qunsetenv("PULSE_SERVER"); }
};

qint64 playTimed(Tone& tone, int frequencyHz, int durationMs) {
    QElapsedTimer timer;
    timer.start();
    tone.play(frequencyHz, durationMs);
    return timer.elapsed();
}

}  // namespace

TEST(ToneSamples, AreAFadedSineOfTheAskedFrequencyAndLength) {
    const std::tuple<int, int, int> cases[] = {
        {1000, 300, 48000}, {300, 300, 48000}, {440, 50, 44100}, {3000, 6, 48000}};
    for (const auto& [frequency, duration, rate] : cases) {
        SCOPED_TRACE(testing::Message() << frequency << " Hz " << duration << " ms " << rate);
        const Samples s = toneSamples(frequency, duration, rate);
        const std::size_t ms = rate / 1000;
        ASSERT_EQ(s.size(), std::size_t(duration) * rate / 1000);
        EXPECT_NEAR(measuredFrequency(s, rate), frequency, frequency * 0.01);
        const int full = peak(s, s.size() / 4, s.size() * 3 / 4);
        EXPECT_GT(full, 12000);
        // No click: silent at the very start, quiet through the first and
        // last millisecond, full level soon after the 5 ms fade.
        EXPECT_EQ(s.front(), 0);
        if (duration < 20) continue;
        EXPECT_LT(peak(s, 0, ms), full / 5);
        EXPECT_LT(peak(s, s.size() - ms, s.size()), full / 5);
        EXPECT_GT(peak(s, 5 * ms, 7 * ms), full * 95 / 100);
    }
}

TEST(ToneSamples, NothingToPlayGivesSilenceOrNothing) {
    const auto silent = [](const Samples& s) {
        return s.size() == 4800 && std::all_of(s.begin(), s.end(), [](auto v) { return v == 0; });
    };
    EXPECT_TRUE(toneSamples(1000, 0, 48000).empty());
    EXPECT_TRUE(toneSamples(1000, -5, 48000).empty());
    EXPECT_TRUE(silent(toneSamples(0, 100, 48000)));
    // At or above half the rate a sine would alias to another tone.
    EXPECT_TRUE(silent(toneSamples(24000, 100, 48000)));
}

TEST(SystemTone, WithoutASoundServerWaitsOutTheTone) {
    QTemporaryDir dir;
    PulseServerVariable server("unix:" + dir.filePath("no-such-server").toUtf8());
    auto tone = makeSystemTone();
    for (int i = 0; i < 2; ++i) {
        const qint64 elapsed = playTimed(*tone, 1000, 50);
        EXPECT_GE(elapsed, 50);
        EXPECT_LT(elapsed, 1000);
    }
    EXPECT_LT(playTimed(*tone, 1000, 0), 20);
}

// A server that takes the connection and then says nothing (pa_simple would
// sit in it for 30 seconds): one short wait, and later tones do not ask again.
TEST(SystemTone, AServerThatNeverAnswersCostsOneShortWaitOnly) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    auto closeListener = qScopeGuard([&] { ::close(listener); });
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 8), 0);  // never accepted: the kernel completes the handshake
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    PulseServerVariable server("tcp:127.0.0.1:" + QByteArray::number(ntohs(address.sin_port)));

    auto tone = makeSystemTone();
    const qint64 first = playTimed(*tone, 300, 50), second = playTimed(*tone, 300, 50);
    EXPECT_GE(first, 50);
    EXPECT_LT(first, 1500);
    EXPECT_GE(second, 50);
    EXPECT_LT(second, 300);
}

// The whole way to a sound card: a private pulseaudio whose sink writes what
// it plays, in real time, into a pipe that we read.
TEST(SystemTone, PlaysTheToneThroughARunningServer) {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (daemon.isEmpty()) GTEST_SKIP() << "needs the pulseaudio daemon (package pulseaudio)";

    QTemporaryDir dir;
    const QString socket = dir.filePath("native"), pipe = dir.filePath("sink.fifo");
    QFile script(dir.filePath("default.pa"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("load-module module-pipe-sink sink_name=kt file=%1 format=s16le "
                                "rate=48000 channels=1 use_system_clock_for_timing=yes\n"
                                "load-module module-native-protocol-unix auth-anonymous=1 "
                                "socket=%2\nset-default-sink kt\n")
                     .arg(pipe, socket)
                     .toUtf8());
    script.close();

    QProcess server;  // with its own home and runtime folders: no desktop session
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        env.insert(QString::fromLatin1(name), dir.path());
    server.setProcessEnvironment(env);
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(daemon, {"-n", "-F", script.fileName(), "--daemonize=no", "--exit-idle-time=-1",
                          "--use-pid-file=no", "--disable-shm=yes", "--log-level=error"});
    auto stopServer = qScopeGuard([&] {
        server.terminate();
        server.waitForFinished(3000);
    });
    QElapsedTimer waited;
    waited.start();
    while (!(QFile::exists(socket) && QFile::exists(pipe)) && waited.elapsed() < 5000)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(socket) && QFile::exists(pipe));

    QProcess reader;
    reader.setStandardOutputFile(dir.filePath("heard.raw"));
    reader.start(QStringLiteral("cat"), {pipe});
    ASSERT_TRUE(reader.waitForStarted());

    PulseServerVariable variable("unix:" + socket.toUtf8());
    const qint64 elapsed = playTimed(*makeSystemTone(), 1000, 300);
    QThread::msleep(300);
    reader.terminate();
    reader.waitForFinished(3000);
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 1300);

    QFile heard(dir.filePath("heard.raw"));
    ASSERT_TRUE(heard.open(QIODevice::ReadOnly));
    const QByteArray bytes = heard.readAll();
    ASSERT_GE(bytes.size(), 2) << "the sink wrote nothing";
    // s16le, as the sink was told
    Samples played(static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t i = 0; i < played.size(); ++i)
        played[i] = qFromLittleEndian<std::int16_t>(bytes.constData() + 2 * i);
    // The stretch louder than the faded edges: the tone itself.
    const auto loud = [](std::int16_t v) { return std::abs(int{v}) > 2000; };
    const auto begin = std::find_if(played.begin(), played.end(), loud);
    const auto end = std::find_if(played.rbegin(), played.rend(), loud).base();
    ASSERT_LT(begin, end) << "the sink played nothing";
    EXPECT_NEAR((end - begin) / 48.0, 300, 10);
    EXPECT_NEAR(measuredFrequency(Samples(begin, end), 48000), 1000, 10);
}
