#include "controller/polling_test.h"

#include "controller/commands.h"
#include "controller/reply_fields.h"

namespace kt {
namespace {

using detail::field;
using detail::kLoopPauseMs;
using detail::letPendingEventsRun;

// Family 4 answers its record later than the others.
constexpr int kEventAnswerPauseFourMs = 100;

// Where each reply kind keeps its fields.
struct PollLayout {
    int shortLength;  // the clock only
    int longLength;   // the clock and an event record
    int headYear;     // the head date; month, day, hour, minute, second follow
};

constexpr PollLayout kLayoutFour{32, 52, 7};
constexpr PollLayout kLayout{35, 59, 8};

// "yyyy/mm/dd  hh:nn:ss" from a 14-character date and time starting at
// position year, copied as received.
QByteArray dateText(const Link& link, int year) {
    return field(link, year, 4) + '/' + field(link, year + 4, 2) + '/' + field(link, year + 6, 2) +
           "  " + field(link, year + 8, 2) + ':' + field(link, year + 10, 2) + ':' +
           field(link, year + 12, 2);
}

QByteArray eventText(const Link& link, bool four) {
    if (four)
        return field(link, 27, 14) + " (" + field(link, 41, 4) + ") (" + field(link, 45, 2) + ")";
    return '[' + field(link, 30, 1) + "] " + dateText(link, 31) + " (" + field(link, 45, 4) +
           ") [" + field(link, 49, 5) + ']';
}

}  // namespace

PollingTestResult PollingTest(Link& link, const QByteArray& address, Family family,
                              const PollingObserver& observer) {
    const bool four = family == Family::ThreeDigit;
    const PollLayout& layout = four ? kLayoutFour : kLayout;
    const QByteArray poll = address + command::PollCommand(family);

    if (observer.showStatus) observer.showStatus("Pooling data test");
    letPendingEventsRun();
    PollingTestResult result;
    SilenceWatch silence(observer.silenceChanged);
    while (detail::goOn(observer.keepRunning, result.passes)) {
        ++result.passes;
        letPendingEventsRun();
        const bool answered = detail::accepted(link, poll, {layout.shortLength, layout.longLength});
        silence.transaction(link);
        if (detail::portLost(link, result)) break;
        if (answered) {
            if (observer.showDate) observer.showDate(dateText(link, layout.headYear));
            if (link.ReplyLength() == layout.longLength) {
                if (observer.showEvent) observer.showEvent(eventText(link, four));
                if (four) {
                    detail::pause(kEventAnswerPauseFourMs);
                    letPendingEventsRun();
                } else {
                    detail::pause(kLoopPauseMs);
                }
                link.SendCommand(address + command::kEventShown);
                silence.transaction(link);
                if (detail::portLost(link, result)) break;
                ++result.events;
            }
        }
        detail::pause(kLoopPauseMs);
    }
    return result;
}

}  // namespace kt
