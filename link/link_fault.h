// Why an open or a transaction failed, as a small set of kinds that the
// window, ktcli and the tests can act on; Link::lastError() keeps the
// sentence for a person, with the port's name and the system's own words.
#pragma once

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
    Other,           // anything else; lastError() holds the system's text
};

// A stable lower-case name for traces, JSON and logs ("no-such-port").
const char* LinkFaultName(LinkFault fault);

}  // namespace kt
