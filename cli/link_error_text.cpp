#include "cli/link_error_text.h"

namespace ktcli {

QString LinkErrorText(const kt::LinkError& error) {
    using kt::LinkFault;
    switch (error.kind) {
        case LinkFault::None:
            return {};
        case LinkFault::NoSuchPort:
            return QStringLiteral("no such serial port: %1").arg(error.port);
        case LinkFault::NoAccess: {
            const QString denied =
                QStringLiteral("serial port %1: permission denied").arg(error.port);
            if (error.group.isEmpty())
                return denied + QStringLiteral(
                                    "; the device is not open to any group, ask the administrator");
            if (error.logInAgain)
                return denied + QStringLiteral(
                                    "; your account was added to the %1 group after this session "
                                    "began, log in again")
                                    .arg(error.group);
            return denied + QStringLiteral(
                                "; add your account to the %1 group (sudo usermod -aG %1 $USER) "
                                "and log in again")
                                .arg(error.group);
        }
        case LinkFault::InUse: {
            QString text =
                QStringLiteral("serial port %1 is in use by another program").arg(error.port);
            if (error.holderPid > 0)
                text += error.holder.isEmpty()
                            ? QStringLiteral(" (process %1)").arg(error.holderPid)
                            : QStringLiteral(" (%1, process %2)")
                                  .arg(error.holder)
                                  .arg(error.holderPid);
            return text;
        }
        default:
            return error.text;
    }
}

QString OpenErrorText(const kt::LinkError& error) {
    switch (error.kind) {
        case kt::LinkFault::NoSuchPort:
            return QStringLiteral("no such port: ") + LinkErrorText(error);
        case kt::LinkFault::NoAccess:
            return QStringLiteral("no access: ") + LinkErrorText(error);
        default:
            return LinkErrorText(error);
    }
}

}  // namespace ktcli
