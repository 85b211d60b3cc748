// Why an open or a transaction failed: one value, built where the failure
// happens, that the window and ktcli each render in their own words. The
// kinds are a small set they and the tests can act on; the rest is what the
// system told us about the port.
#pragma once

#include <QString>

namespace kt {

enum class LinkFault {
    None,            // the last open or transaction succeeded
    NoSuchPort,      // the serial device does not exist
    NoAccess,        // the account may not open the device
    InUse,           // another program holds the device
    Refused,         // the converter refused the connection
    Unreachable,     // the converter did not answer the connect, or no route
    NoLineSettings,  // the converter does not take line settings (RFC 2217)
    LineRefused,     // the converter takes line settings, but not the ones asked
    Lost,            // the port went away (adapter pulled, pty closed, peer closed)
    NoAnswer,        // no complete reply within the time limit or byte budget
    BadCheck,        // a reply came but failed its CRC or XOR check
    BadRequest,      // the command text cannot be framed; nothing was written
    NotOpen,         // a transaction was tried with no port open
    Other,           // anything else; text holds the system's words
};

// A stable lower-case name for traces, JSON and logs ("no-such-port").
const char* LinkFaultName(LinkFault fault);

struct LinkError {
    LinkFault kind = LinkFault::None;
    // The port as the technician names it: "ttyUSB0", "192.168.1.100:5000".
    QString port;
    // NoAccess: the group whose members may open the device ("dialout");
    // empty when no group may, and only the administrator can help.
    QString group;
    // NoAccess: the account is in that group, but this login session began
    // before it was added.
    bool logInAgain = false;
    // InUse: the program that holds the device and its process, where its
    // lock file says; empty and 0 when nothing says.
    QString holder;
    qint64 holderPid = 0;
    // NoSuchPort, NoAccess, InUse: the system's own words ("Permission
    // denied"), the fields above say the rest. The other kinds: one line
    // that names what happened, for a log or a person ("no complete reply
    // within 300 ms", "cannot connect to 10.0.0.5:5000: Connection refused").
    QString text;

    bool failed() const { return kind != LinkFault::None; }
    // A failure of kind with text; the Link adds the port.
    static LinkError of(LinkFault kind, const QString& text) {
        LinkError error;
        error.kind = kind;
        error.text = text;
        return error;
    }
};

}  // namespace kt
