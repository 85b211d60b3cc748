// What a firmware upgrade costs beyond its fixed pauses and its bytes.
//
// A whole dialogue-A upgrade (family 3, 124 blocks of 512 bytes: a write of
// 1041 bytes and a read-back reply of 1037 bytes per block) runs through the
// Link against ktsim over a pseudo-terminal, from loading the file to the
// end of the pause after the upgrade command. The baseline is computed, not
// measured: the sum of the dialogue's fixed pauses, which the procedure
// sleeps as plain waits.
//
//   1. Unpaced: (total - pauses) / blocks is what the tool and the pty add
//      per block (target: under 1 ms).
//   2. ktsim pacing its reply bytes at 115200 baud (ten bits a byte):
//      total / (pauses + wire time of the reply bytes) (target: at most
//      1.01). Requests cross the pty at once, so their wire time is not in
//      the baseline; on a real line it would be in both.
//
// bench_firmware [family]: 3 (default, 20 and 50 ms around each block) or 6
// (4 ms each). Exits 1 when a run fails or misses its target.
#include "firmware/firmware_file.h"
#include "firmware/programmer.h"
#include "link/link.h"
#include "sim/program/sim_thread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kBlocks = 124;
constexpr int kBlockSize = 512;
constexpr int kBaud = 115200;
constexpr double kTargetMsPerBlock = 1.0;   // unpaced: (total - pauses) per block, under
constexpr double kTargetPacedRatio = 1.01;  // paced: total / (pauses + wire time), at most

// The fixed pauses of a clean dialogue-A run, in milliseconds: before the
// start, after "Programming ...", before each write, after "Verifying ...",
// before each read-back, before the upgrade command, after its
// acknowledgement.
double fixedPausesMs(int family, int blocks) {
    const int beforeWrite = family == 3 ? 20 : 4;
    const int beforeReadBack = family == 3 ? 50 : 4;
    return 100 + 50 + blocks * beforeWrite + 50 + blocks * beforeReadBack + 100 + 7000;
}

// The reply frames ktsim sends in that run (sim/README.md): "Zx" and "Zr"
// acknowledgements of 13 bytes, per block a write acknowledgement of 17 and
// a read-back of 1037 (address, "Zv", 1024 data digits, framing).
double replyWireMs(int blocks) {
    const double bytes = 13 + blocks * (17.0 + 1037.0) + 13;
    return bytes * 10 * 1000 / kBaud;
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Timing {
    bool ok = false;
    double totalMs = 0;
    double cpuMs = 0;
};

Timing upgrade(ktsim::SimThread& sim, const QString& file, int family) {
    kt::PortSettings port;
    port.ComPortName = sim.ptyPath();
    port.ComBaudRate = QStringLiteral("115200,n,8,1");
    kt::Link link;
    link.setPort(port);
    if (!link.OpenPort()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(port.ComPortName),
                     qPrintable(link.lastError().text));
        return {};
    }
    Timing t;
    const double cpu0 = threadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    const kt::FirmwareFile loaded = kt::LoadFirmwareFile(file, static_cast<kt::Family>(family), {});
    if (loaded.ok() && loaded.image && loaded.image->blockCount() == kBlocks)
        t.ok = kt::ProgramFirmware(link, sim.config().address, static_cast<kt::Family>(family),
                                   *loaded.image)
                   .ok;
    t.totalMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    t.cpuMs = (threadCpuSeconds() - cpu0) * 1e3;
    link.ClosePort();
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int family = argc > 1 ? std::atoi(argv[1]) : 3;
    if (family != 3 && family != 6) {
        std::fprintf(stderr, "usage: bench_firmware [3|6]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KT320MX.KTB"));
    QFile file(path);
    QByteArray data(kBlocks * kBlockSize, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 131 + i / 512) & 0xFF);
    QByteArray header = family == 3 ? "KT320MX-V5" : "KT740MX-V6";
    header.append(16 - header.size(), '\0');
    if (!file.open(QIODevice::WriteOnly) || file.write(header + data) != 16 + data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    ktsim::SimThread sim(ktsim::DeviceConfig{.family = family});
    if (sim.startPty().isEmpty()) {
        std::fprintf(stderr, "ktsim cannot open a pty\n");
        return 1;
    }
    const double pauses = fixedPausesMs(family, kBlocks);
    std::printf("dialogue A, family %d, %d blocks of %d bytes over a pty; fixed pauses %.0f ms\n",
                family, kBlocks, kBlockSize, pauses);

    const Timing bare = upgrade(sim, path, family);
    const bool taken = sim.loaderState().upgradeApplied;
    const double perBlock = (bare.totalMs - pauses) / kBlocks;
    const bool bareMet = perBlock < kTargetMsPerBlock;
    std::printf(
        "  unpaced   %s  total %8.1f ms  - pauses = %6.1f ms: %.3f ms per block "
        "(target < %.0f ms: %s); %.1f ms CPU in the caller\n",
        bare.ok && taken ? "ok  " : "FAIL", bare.totalMs, bare.totalMs - pauses, perBlock,
        kTargetMsPerBlock, bareMet ? "met" : "MISSED", bare.cpuMs);

    sim.setConfig(ktsim::DeviceConfig{.family = family});  // a fresh loader
    sim.setPace(kBaud);
    const double wire = replyWireMs(kBlocks);
    const Timing paced = upgrade(sim, path, family);
    const bool pacedTaken = sim.loaderState().upgradeApplied;
    const double ratio = paced.totalMs / (pauses + wire);
    const bool pacedMet = ratio <= kTargetPacedRatio;
    std::printf(
        "  %d baud %s  total %8.1f ms  / (pauses + %.1f ms reply wire time = %.1f ms) "
        "= %.4fx (target <= %.2fx: %s); %.1f ms CPU in the caller\n",
        kBaud, paced.ok && pacedTaken ? "ok  " : "FAIL", paced.totalMs, wire, pauses + wire, ratio,
        kTargetPacedRatio, pacedMet ? "met" : "MISSED", paced.cpuMs);
    const bool ran = bare.ok && taken && paced.ok && pacedTaken;
    return ran && bareMet && pacedMet ? 0 : 1;
}
