#include "controller/dido_test.h"

#include "controller/commands.h"
#include "controller/reply_fields.h"

namespace kt {
namespace {

using detail::accepted;
using detail::kLoopPauseMs;
using detail::letPendingEventsRun;
using detail::pause;

class DidoLoop {
public:
    DidoLoop(Link& link, const QByteArray& address, Family family, const DidoObserver& observer)
        : link_(link),
          address_(address),
          family_(family),
          observer_(observer),
          silence_(observer.silenceChanged) {}

    // Each pass is false when it found the port lost, and stops there.
    bool passFour() {
        for (int output = 1; output <= 3; ++output) {
            letPendingEventsRun();
            link_.SendCommand(address_ + command::OutputCommand(family_, output, checked(output)));
            silence_.transaction(link_);
            if (link_.portLost()) return false;
            pause(kLoopPauseMs);
        }
        letPendingEventsRun();
        // The long reply carries an event as well; the inputs sit at the same places.
        if (accepted(link_, address_ + command::kReadInputsFour, {52, 32}))
            showInputs(23, {1, 2, 3, 4});
        silence_.transaction(link_);
        if (link_.portLost()) return false;
        pause(kLoopPauseMs);
        letPendingEventsRun();
        if (accepted(link_, address_ + command::kReadInputs78Four, {14})) showInputs(7, {7, 8});
        silence_.transaction(link_);
        if (link_.portLost()) return false;
        pause(kLoopPauseMs);
        return true;
    }

    void endFour() {
        pause(kLoopPauseMs);
        link_.SendCommand(address_ + command::kEndIoTestFour);
    }

    bool passCommon() {
        for (int output = 1; output <= 4; ++output) {
            if (!checked(output)) continue;  // an unticked box sends nothing
            letPendingEventsRun();
            link_.SendCommand(address_ + command::OutputCommand(family_, output, true));
            silence_.transaction(link_);
            if (link_.portLost()) return false;
            pause(kLoopPauseMs);
        }
        letPendingEventsRun();
        if (accepted(link_, address_ + command::kReadInputs, {29}))
            showInputs(8, {1, 2, 3, 4, 5, 6, 7, 8});
        silence_.transaction(link_);
        if (link_.portLost()) return false;
        pause(kLoopPauseMs);
        return true;
    }

    void endCommon() { link_.SendCommand(address_ + command::kEndIoTest); }

private:
    bool checked(int output) const {
        return observer_.outputChecked && observer_.outputChecked(output);
    }

    // One reply character per lamp, in order from position first.
    void showInputs(int first, std::initializer_list<int> inputs) {
        if (!observer_.inputRead) return;
        int p = first;
        for (int input : inputs) observer_.inputRead(input, detail::field(link_, p++, 1) == "1");
    }

    Link& link_;
    const QByteArray& address_;
    const Family family_;
    const DidoObserver& observer_;
    SilenceWatch silence_;
};

}  // namespace

ContinuousTestResult DidoTest(Link& link, const QByteArray& address, Family family,
                              const DidoObserver& observer) {
    if (observer.showStatus) observer.showStatus("DIDO test");
    letPendingEventsRun();
    DidoLoop loop(link, address, family, observer);
    ContinuousTestResult result;
    while (detail::goOn(observer.keepRunning, result.passes)) {
        const bool whole = family == Family::ThreeDigit ? loop.passFour() : loop.passCommon();
        ++result.passes;
        if (!whole && detail::portLost(link, result)) return result;
    }
    if (family == Family::ThreeDigit)
        loop.endFour();
    else
        loop.endCommon();
    return result;
}

}  // namespace kt
