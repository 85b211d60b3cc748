#include "cli/command_table.h"

#include "cli/link_error_text.h"
#include "cli/session.h"
#include "controller/line_speed_scan.h"
#include "link/visible_text.h"
#include "modules/module_requests.h"
#include "modules/module_survey.h"

#include <QJsonArray>
#include <QTextStream>

#include <unistd.h>

namespace ktcli {
namespace {

QString faultText(kt::LinkFault fault) {
    return fault == kt::LinkFault::None ? QStringLiteral("reply of another length")
                                        : QString::fromLatin1(kt::LinkFaultName(fault));
}

// The bar of the survey on a terminal, redrawn in place on one line.
void drawBar(int asked, int total) {
    constexpr int kWidth = 40;
    const int filled = total > 0 ? asked * kWidth / total : 0;
    QTextStream(stdout) << "\r[" << QString(filled, u'#') << QString(kWidth - filled, u' ') << "] "
                        << asked << '/' << total << Qt::flush;
}

void clearBar() {
    QTextStream(stdout) << "\r\033[K" << Qt::flush;
}

}  // namespace

int runScan(const ConnectionOptions& connection, const QString&, QStringList args, Output& out) {
    const QString command = QStringLiteral("scan");
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    if (!args.isEmpty())
        return badArguments(command, QStringLiteral("unexpected \"%1\"").arg(args.front()));
    Session session(connection, out);
    kt::Link& link = session.link;
    if (connection.port.kind == kt::PortKind::Network && !connection.port.NetSetLine) {
        // Nothing is opened: the scan itself says why it does not apply.
        const auto refused = kt::ScanLineSpeed(link, connection.firstId, all);
        return out.finish(kBadArguments, refused.why);
    }
    kt::LineSpeedScanObserver observer;
    observer.tried = [&](const kt::LineSpeedTry& tried) {
        const int number = int(kt::LineSpeedScanOrder().indexOf(tried.line)) + 1;
        QJsonObject event{{QStringLiteral("event"), QStringLiteral("try")},
                          {QStringLiteral("number"), number},
                          {QStringLiteral("line"), tried.line},
                          {QStringLiteral("answered"), tried.answered}};
        QString text = QStringLiteral("try %1 %2: ").arg(number, 2).arg(tried.line);
        if (tried.answered) {
            event.insert(QStringLiteral("address"), kt::VisibleText(tried.address));
            event.insert(QStringLiteral("family-four"), tried.familyFour);
            text += QStringLiteral("address %1").arg(kt::VisibleText(tried.address));
        } else {
            event.insert(QStringLiteral("fault"), faultText(tried.fault));
            text += faultText(tried.fault);
        }
        out.event(event, text);
    };
    const kt::LineSpeedScanResult result =
        kt::ScanLineSpeed(link, connection.firstId, all, observer);
    link.ClosePort();
    using Outcome = kt::LineSpeedScanResult::Outcome;
    out.field(QStringLiteral("tried"), int(result.tries.size()));
    if (result.outcome == Outcome::PortFailed)
        return out.finish(kPortError, LinkErrorText(result.error));
    if (result.outcome != Outcome::Found)
        return out.finish(kRejected,
                          QStringLiteral("no setting got an answer to AC or AS (%1 tried)")
                              .arg(result.tries.size()));
    out.field(QStringLiteral("line"), result.line);
    out.field(QStringLiteral("address"), kt::VisibleText(result.address));
    out.field(QStringLiteral("family-four"), result.familyFour);
    if (all) {
        QJsonArray answered;
        for (const kt::LineSpeedTry& tried : result.tries)
            if (tried.answered) answered.append(tried.line);
        out.field(QStringLiteral("answered"), answered);
    }
    return out.finish(kAccepted);
}

int runModuleScan(const ConnectionOptions& connection, const QString&, QStringList args,
                  Output& out) {
    args = args.mid(1);  // after "scan"
    if (!args.isEmpty())
        return badArguments(
            QStringLiteral("module"),
            QStringLiteral("scan takes no arguments, unexpected \"%1\"").arg(args.front()));
    Session session(connection, out);
    if (const auto failed = session.openAndLocate()) return *failed;
    const QByteArray address = session.address;
    out.field(QStringLiteral("address"), QString::fromLatin1(address));

    const bool bar = !connection.json && ::isatty(STDOUT_FILENO);
    kt::ModuleSurveyObserver observer;
    observer.found = [&](const kt::SurveyedModule& module) {
        if (bar) clearBar();
        QJsonObject object{{QStringLiteral("event"), QStringLiteral("module")},
                           {QStringLiteral("kind"), kt::ModuleKindName(module.kind)},
                           {QStringLiteral("type"), kt::ModuleTypeName(module)},
                           {QStringLiteral("id"), module.id},
                           {QStringLiteral("serial"), kt::VisibleText(module.serial)}};
        QString letter;
        if (const auto l = kt::module::TypeLetter(module.typeIndex)) {
            letter = QString(QChar::fromLatin1(*l));
            object.insert(QStringLiteral("letter"), letter);
        }
        out.event(object, QStringLiteral("%1 %2 id %3 serial %4")
                              .arg(kt::ModuleKindName(module.kind),
                                   letter.isEmpty() ? kt::ModuleTypeName(module)
                                                    : letter + u' ' + kt::ModuleTypeName(module))
                              .arg(module.id)
                              .arg(kt::VisibleText(module.serial)));
    };
    if (bar) {
        observer.progress = [](int asked, int total) { drawBar(asked, total); };
        drawBar(0, kt::kSurveyRequests);
    }
    const kt::ModuleSurveyResult result = kt::SurveyModules(session.link, address, observer);
    if (bar) clearBar();
    out.field(QStringLiteral("modules"), int(result.modules.size()));
    out.field(QStringLiteral("asked"), result.asked);
    if (result.portLost)
        return out.finish(kRejected, QStringLiteral("the port was lost: %1").arg(result.why));
    return out.finish(kAccepted);
}

}  // namespace ktcli
