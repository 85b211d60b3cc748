#include "app/fault_causes.h"

#include "app/messages.h"

namespace kt {

// In the numbered messages' terms (连接阜/連接阜 port, 装置/裝置 device,
// 连线/連線 connection). %1 is the port, %2 the group that owns the device.
QString FaultCause(const LinkError& error) {
    const auto with = [&](const QString& text) {
        if (text.contains(QLatin1String("%2"))) return text.arg(error.port, error.group);
        return text.contains(QLatin1String("%1")) ? text.arg(error.port) : text;
    };
    switch (error.kind) {
        case LinkFault::None:
            return {};
        case LinkFault::NoSuchPort:
            return with(Messages::tr("%1: no such port"));
        case LinkFault::NoAccess:
            if (error.group.isEmpty())
                return with(Messages::tr("%1: permission denied; ask your administrator"));
            return with(
                error.logInAgain
                    ? Messages::tr("%1: permission denied; log in again to use the %2 group")
                    : Messages::tr("%1: permission denied; add your account to the %2 group"));
        case LinkFault::InUse:
            return with(Messages::tr("%1: in use by another program"));
        case LinkFault::Refused:
            return with(Messages::tr("%1: connection refused"));
        case LinkFault::Unreachable:
            return with(Messages::tr("%1: unreachable or timed out"));
        case LinkFault::NoLineSettings:
            return with(Messages::tr("%1: the converter does not take line settings (RFC 2217)"));
        case LinkFault::LineRefused:
            return with(Messages::tr("%1: the converter refused the line settings"));
        case LinkFault::Lost:
            return with(Messages::tr("%1: connection lost"));
        case LinkFault::NoAnswer:
            return with(Messages::tr("no answer from the device"));
        case LinkFault::BadCheck:
            return with(Messages::tr("bad checksum in the reply"));
        case LinkFault::BadRequest:
            return with(Messages::tr("the command cannot be sent"));
        case LinkFault::NotOpen:
            return with(Messages::tr("%1: port not open"));
        case LinkFault::Other:
            break;
    }
    return error.text;
}

QString NoAccessMark() {
    return Messages::tr("(no access)");
}

}  // namespace kt
