// Finding the line settings of a controller nobody wrote down: each setting
// of the port page's speed box in turn, with one attempt of Connect's first
// requests ("AC" after the ID text, then "AS" for a family-4 controller),
// until one of them gets an accepted reply. On a serial port, or behind a
// converter that takes line settings (RFC 2217): a raw TCP converter's
// serial side is set in the converter, not by the tool.
#pragma once

#include "link/link.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace kt {

// The 18 entries of the speed box (cmbBaudrate), in the box's order.
const QStringList& SpeedBoxSettings();

// The order the scan tries them: the two presets of the port page
// ("19200,e,8,1", "115200,n,8,1") first, then the others from the fastest
// to the slowest, so that 4800 bit/s comes last.
const QStringList& LineSpeedScanOrder();

// One setting tried.
struct LineSpeedTry {
    QString line;                       // "19200,e,8,1"
    bool answered = false;              // an accepted "AC" or "AS" reply came
    QByteArray address;                 // from that reply: four digits, three for family 4
    bool familyFour = false;            // found by "AS"
    LinkFault fault = LinkFault::None;  // why the last request of the try failed
};

struct LineSpeedScanResult {
    enum class Outcome {
        Found,       // a setting answered (with tryAll: at least one)
        NotFound,    // every setting tried, none answered
        NotSerial,   // a raw TCP converter: nothing was tried
        PortFailed,  // the port would not open or went away; the scan stopped
    };
    Outcome outcome = Outcome::NotFound;
    QString why;      // NotSerial: one line for a person
    LinkError error;  // PortFailed: why the port would not open or went away
    // The first setting that answered, and what it answered.
    QString line;
    QByteArray address;
    bool familyFour = false;
    QList<LineSpeedTry> tries;  // in the order tried
};

struct LineSpeedScanObserver {
    // Before each setting: its text, its number (1 first) and how many
    // settings the scan tries at most.
    std::function<void(const QString& line, int number, int count)> trying;
    // After each setting, with its outcome.
    std::function<void(const LineSpeedTry& tried)> tried;
};

// The link's port settings name the serial port or the converter (its
// NetBaudRate is what each setting moves); the link is opened anew at
// each setting and left open at the last one tried (link.port() names it).
// idText is what the ID panel shows; "AS" takes its first three characters.
// Stops at the first setting that answers unless tryAll. A silent setting
// costs two pauses of 100 ms and two silence limits of 300 ms.
LineSpeedScanResult ScanLineSpeed(Link& link, const QByteArray& idText, bool tryAll = false,
                                  const LineSpeedScanObserver& observer = {});

}  // namespace kt
