#include "cli/command_table.h"
#include "cli/session.h"

#include "cli/bounded_input.h"
#include "firmware/firmware_file.h"
#include "firmware/programmer.h"

#include <QJsonObject>
#include <QTextStream>

#include <unistd.h>

namespace ktcli {
namespace {

// The bar of one phase on a terminal, redrawn in place.
void drawBar(const QString& phase, int position, int maximum) {
    constexpr int kWidth = 40;
    const int filled = maximum > 0 ? position * kWidth / maximum : 0;
    QTextStream(stdout) << '\r' << phase.leftJustified(8) << " [" << QString(filled, u'#')
                        << QString(kWidth - filled, u' ') << "] " << position << '/' << maximum
                        << (position >= maximum ? "\n" : "") << Qt::flush;
}

}  // namespace

int runFirmware(const ConnectionOptions& connection, const QString&, QStringList args,
                Output& out) {
    const QString command = QStringLiteral("firmware");
    const bool yes = takeFlag(args, QStringLiteral("--yes"));
    if (args.size() != 1) return badArguments(command, QStringLiteral("wants one firmware file"));
    const QString path = args[0];
    QString why;
    const auto contents = ReadBoundedInput(path, kt::kMaxFirmwareFileSize, &why);
    if (!contents) return badArguments(command, why);
    // Checked again once Connect named the family; an empty file never
    // reaches the controller.
    if (const kt::FirmwareFile early = kt::LoadFirmwareBytes(*contents, kt::Family::Unknown, {});
        !early.ok())
        return badArguments(command, QStringLiteral("%1: %2").arg(InputName(path), early.cause));
    if (!yes)
        return badArguments(
            command,
            QStringLiteral("this rewrites the controller's program: add --yes to go ahead"));

    // The file is checked against the model Connect reads, so Connect always runs.
    Session session(connection, out);
    if (const auto failed = session.openAndLocate(true)) return *failed;
    out.field(QStringLiteral("address"), latin1(session.address));
    out.field(QStringLiteral("family"), kt::CodeOf(session.family));
    const kt::FirmwareFile file =
        kt::LoadFirmwareBytes(*contents, session.family, session.connected.versionText);
    out.field(QStringLiteral("model"), latin1(file.headerText));
    if (!file.image)
        return out.finish(
            kRejected,
            QStringLiteral("family %1 has no firmware loader").arg(kt::CodeOf(session.family)));
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

}  // namespace ktcli
