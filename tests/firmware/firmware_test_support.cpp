#include "tests/firmware/firmware_test_support.h"

#include <gtest/gtest.h>

#include <QFile>

namespace kt::test {

QByteArray firmwareData(int size, int seed) {
    QByteArray data(size, '\0');
    quint32 x = 2654435761u * static_cast<quint32>(seed);
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        data[i] = static_cast<char>(x >> 24);
    }
    return data;
}

TempFirmwareFile::TempFirmwareFile(const QByteArray& header, const QByteArray& data)
    : path_(dir_.filePath(QStringLiteral("KT320MX.KTB"))) {
    QFile file(path_);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header + data);
}

QByteArray header(const QByteArray& text) {
    return text + QByteArray(16 - text.size(), '\0');
}

Model modelFor(int family) {
    switch (family) {
        case 3:
            return {"KT320MX-V5", "KT500B01-V5230415"};
        case 6:
            return {"KT740MX-V6", "KT740B01-V7230415"};
        case 4:
            return {"KT410XB-V2", "KT410XB V2.13.08"};
        case 1:
            return {"KT300B01-V3", "KT300B01-V3230415"};
        case 2:
            return {"KT400B01-V4", "KT400B01-V4230415"};
        case 5:
            return {"KT200B01-V2", "KT200B01-V2230415"};
        default:
            return {};
    }
}

FirmwareImage imageFor(int family, int dataSize) {
    const Model model = modelFor(family);
    const TempFirmwareFile file(header(model.header), firmwareData(dataSize));
    const FirmwareFile loaded =
        LoadFirmwareFile(file.path(), static_cast<Family>(family), model.version);
    EXPECT_TRUE(loaded.ok() && loaded.image) << family;
    return loaded.image.value_or(FirmwareImage{});
}

QByteArray joined(const FirmwareImage& image) {
    QByteArray bytes;
    for (const QByteArray& block : image.blocks) bytes += block;
    return bytes;
}

QList<QByteArray> ProgramRun::sentStartingWith(const QByteArray& head) const {
    QList<QByteArray> texts;
    for (const QByteArray& text : sent) {
        if (text.startsWith(head)) texts.append(text);
    }
    return texts;
}

double ProgramRun::msBetween(const QByteArray& first, const QByteArray& second, int nth) const {
    qint64 from = -1;
    int seen = 0;
    for (const ktsim::LoggedRequest& r : records) {
        if (from < 0 && r.text.startsWith(first) && seen++ == nth) {
            from = r.monotonicNs;
            continue;
        }
        if (from >= 0 && r.text.startsWith(second)) return double(r.monotonicNs - from) / 1e6;
    }
    ADD_FAILURE() << "no " << first.constData() << " followed by " << second.constData();
    return -1;
}

ProgramRun programAs(int family, const ktsim::DeviceConfig& config, const FirmwareImage& image,
                     const QStringList& faults) {
    ktsim::SimThread sim(config);
    for (const QString& fault : faults) EXPECT_TRUE(sim.addFault(fault)) << fault.toStdString();
    kt::PortSettings port;
    port.ComPortName = sim.startPty();
    kt::Link link;
    link.setPort(port);
    EXPECT_TRUE(link.OpenPort()) << link.lastError().text.toStdString();

    ProgramRun run;
    QElapsedTimer clock;
    qint64 upgradingAt = -1;
    FirmwareObserver observer;
    observer.status = [&](const char* english) {
        run.statuses.append(QString::fromUtf8(english));
        if (run.statuses.back() == QStringLiteral("Upgrading ...")) upgradingAt = clock.elapsed();
    };
    observer.handshakeFailed = [&](int remaining) { run.countdown.append(remaining); };
    observer.phaseStarted = [&](FirmwareBar bar, int maximum) {
        (bar == FirmwareBar::Program ? run.programMaximum : run.verifyMaximum) = maximum;
    };
    observer.progress = [&](FirmwareBar bar, int position) {
        (bar == FirmwareBar::Program ? run.programProgress : run.verifyProgress).append(position);
    };
    clock.start();
    run.ok =
        ProgramFirmware(link, sim.config().address, static_cast<Family>(family), image, observer)
            .ok;
    run.totalMs = clock.elapsed();
    if (upgradingAt >= 0) run.upgradingToEndMs = run.totalMs - upgradingAt;
    run.sent = sim.requestLog();
    run.records = sim.requestRecords();
    run.loader = sim.loaderState();
    return run;
}

ProgramRun program(const ktsim::DeviceConfig& config, const FirmwareImage& image,
                   const QStringList& faults) {
    return programAs(config.family, config, image, faults);
}

}  // namespace kt::test
